#include "zk/host/rtl/HelpContext.h"

namespace zk::rtl {

const TTypeInfo& TypeInfo_THelpContext() {
    static const TTypeInfo* t =
        new TTypeInfo{"THelpContext", TTypeKind::tkInteger, -2147483647, 2147483647, {}};
    return *t;
}

}  // namespace zk::rtl
