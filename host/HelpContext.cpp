#include "host/HelpContext.h"

const TTypeInfo& TypeInfo_THelpContext() {
    static const TTypeInfo* t =
        new TTypeInfo{"THelpContext", TTypeKind::tkInteger, -2147483647, 2147483647, {}};
    return *t;
}
