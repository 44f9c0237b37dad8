#include "zk/formfile/FormTree.h"

#include <cstring>

namespace zk::formfile {

namespace {

bool SameProps(const std::vector<TFormNodeProperty>& A, const std::vector<TFormNodeProperty>& B) {
    if (A.size() != B.size()) return false;
    for (size_t i = 0; i < A.size(); ++i)
        if (A[i].Name != B[i].Name || !SameValue(A[i].Value, B[i].Value)) return false;
    return true;
}

// Extended and Double both read back as an extended value in text; compared as one.
std::array<uint8_t, 10> AsExtended(const TFormNodeValue& V) {
    if (V.FloatType == TFormFloatType::Double) {
        double d;
        std::memcpy(&d, V.Float.data(), 8);
        return ExtendedBytes(d);
    }
    return V.Float;
}

}  // namespace

const TFormNodeProperty* FindProperty(const TFormNode& Node, std::string_view Name) {
    for (const TFormNodeProperty& p : Node.Properties)
        if (SameIdent(p.Name, Name)) return &p;
    return nullptr;
}

bool SameValue(const TFormNodeValue& A, const TFormNodeValue& B) {
    if (A.Type != B.Type) return false;
    switch (A.Type) {
        case TFormValueType::Integer:
            return A.Int == B.Int;
        case TFormValueType::Float: {
            auto group = [](TFormFloatType t) {
                return t == TFormFloatType::Double ? TFormFloatType::Extended : t;
            };
            if (group(A.FloatType) != group(B.FloatType)) return false;
            switch (A.FloatType) {
                case TFormFloatType::Currency:
                    return A.Int == B.Int;
                case TFormFloatType::Single:
                    return std::memcmp(A.Float.data(), B.Float.data(), 4) == 0;
                case TFormFloatType::Date:
                    return std::memcmp(A.Float.data(), B.Float.data(), 8) == 0;
                default:
                    return AsExtended(A) == AsExtended(B);
            }
        }
        case TFormValueType::String:
            return A.Str == B.Str;
        case TFormValueType::Ident:
        case TFormValueType::Binary:
            return A.Text == B.Text;
        case TFormValueType::False:
        case TFormValueType::True:
        case TFormValueType::Nil:
            return true;
        case TFormValueType::Set:
        case TFormValueType::List:
            if (A.Items.size() != B.Items.size()) return false;
            for (size_t i = 0; i < A.Items.size(); ++i)
                if (!SameValue(A.Items[i], B.Items[i])) return false;
            return true;
        case TFormValueType::Collection:
            if (A.Collection.size() != B.Collection.size()) return false;
            for (size_t i = 0; i < A.Collection.size(); ++i) {
                const TFormItem &x = A.Collection[i], &y = B.Collection[i];
                if (x.HasOrder != y.HasOrder) return false;
                if (x.HasOrder && !SameValue(x.Order, y.Order)) return false;
                if (!SameProps(x.Properties, y.Properties)) return false;
            }
            return true;
    }
    return false;
}

bool SameTree(const TFormNode& A, const TFormNode& B) {
    if (A.Kind != B.Kind || A.Name != B.Name || A.ClassName != B.ClassName ||
        A.HasIndex != B.HasIndex || (A.HasIndex && A.Index != B.Index))
        return false;
    if (!SameProps(A.Properties, B.Properties) || A.Children.size() != B.Children.size())
        return false;
    for (size_t i = 0; i < A.Children.size(); ++i)
        if (!SameTree(A.Children[i], B.Children[i])) return false;
    return true;
}

}  // namespace zk::formfile
