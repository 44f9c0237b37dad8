#include "zk/formfile/FormTextWriter.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "zk/host/platform/Ascii.h"

namespace zk::formfile {

namespace {

void PrintString(const std::u16string& S, std::string& Out) {
    if (S.empty()) {
        Out += "''";
        return;
    }
    bool open = false;
    for (char16_t u : S) {
        if (u >= 32 && u <= 255 && u != 127) {
            if (!open) Out += '\'';
            open = true;
            Out += static_cast<char>(u);
            if (u == '\'') Out += '\'';
        } else {
            if (open) Out += '\'';
            open = false;
            Out += '#';
            Out += std::to_string(static_cast<unsigned>(u));
        }
    }
    if (open) Out += '\'';
}

template <class T>
std::string Shortest(T X) {
    char buf[80];
    auto r = std::to_chars(buf, buf + sizeof buf, X);
    std::string s(buf, r.ptr);
    return s;
}

std::string FloatText(const TFormNodeValue& V) {
    TExtendedBytes x = V.Float;
    switch (V.FloatType) {
        case TFormFloatType::Currency:
            return std::to_string(V.Int) + "c";
        case TFormFloatType::Single: {
            float f;
            std::memcpy(&f, V.Float.data(), 4);
            if (!std::isfinite(f)) return {};
            return Shortest(f) + "s";
        }
        case TFormFloatType::Date: {
            double d;
            std::memcpy(&d, V.Float.data(), 8);
            if (!std::isfinite(d)) return {};
            return Shortest(d) + "d";
        }
        case TFormFloatType::Double: {
            double d;
            std::memcpy(&d, V.Float.data(), 8);
            x = ExtendedBytes(d);
            break;
        }
        case TFormFloatType::Extended:
            break;
    }
    // Shortest text that reads back as the same extended value; a '.' keeps it a float.
    std::string s = ExtendedDecimal(x);
    if (!s.empty() && s.find_first_of(".eE") == std::string::npos) s += ".0";
    return s;
}

void PrintProperties(const std::vector<TFormNodeProperty>& Props, const std::string& Indent,
                     const std::string& Eol, std::string& Out);

void PrintValue(const TFormNodeValue& V, const std::string& Indent, const std::string& Eol,
                std::string& Out) {
    switch (V.Type) {
        case TFormValueType::Integer:
            Out += std::to_string(V.Int);
            break;
        case TFormValueType::Float: {
            std::string s = FloatText(V);
            if (s.empty())
                throw EFormFileError("a float that is not a finite number has no text form", 0, 0);
            Out += s;
            break;
        }
        case TFormValueType::String:
            PrintString(V.Str, Out);
            break;
        case TFormValueType::Ident:
            Out += V.Text;
            break;
        case TFormValueType::False:
            Out += "False";
            break;
        case TFormValueType::True:
            Out += "True";
            break;
        case TFormValueType::Nil:
            Out += "nil";
            break;
        case TFormValueType::Set:
            Out += '[';
            for (size_t i = 0; i < V.Items.size(); ++i) {
                if (i) Out += ", ";
                Out += V.Items[i].Text;
            }
            Out += ']';
            break;
        case TFormValueType::List:
            Out += '(';
            for (const TFormNodeValue& item : V.Items) {
                Out += Eol + Indent + "  ";
                PrintValue(item, Indent + "  ", Eol, Out);
            }
            Out += ')';
            break;
        case TFormValueType::Binary: {
            Out += '{';
            for (size_t i = 0; i < V.Text.size(); ++i) {
                if (i % 32 == 0) Out += Eol + Indent + "  ";
                auto b = static_cast<unsigned char>(V.Text[i]);
                Out += platform::HexDigit(b >> 4);
                Out += platform::HexDigit(b);
            }
            Out += '}';
            break;
        }
        case TFormValueType::Collection:
            Out += '<';
            for (const TFormItem& item : V.Collection) {
                Out += Eol + Indent + "  item";
                if (item.HasOrder) {
                    Out += " [";
                    PrintValue(item.Order, Indent, Eol, Out);
                    Out += ']';
                }
                Out += Eol;
                PrintProperties(item.Properties, Indent + "    ", Eol, Out);
                Out += Indent + "  end";
            }
            Out += '>';
            break;
    }
}

void PrintProperties(const std::vector<TFormNodeProperty>& Props, const std::string& Indent,
                     const std::string& Eol, std::string& Out) {
    for (const TFormNodeProperty& p : Props) {
        Out += Indent + p.Name + " = ";
        PrintValue(p.Value, Indent, Eol, Out);
        Out += Eol;
    }
}

void PrintNode(const TFormNode& N, const std::string& Indent, const std::string& Eol,
               std::string& Out) {
    Out += Indent;
    Out += N.Kind == TFormObjectKind::Inherited ? "inherited "
           : N.Kind == TFormObjectKind::Inline  ? "inline "
                                                : "object ";
    if (!N.Name.empty()) Out += N.Name + ": ";
    Out += N.ClassName;
    if (N.HasIndex) Out += " [" + std::to_string(N.Index) + "]";
    Out += Eol;
    PrintProperties(N.Properties, Indent + "  ", Eol, Out);
    for (const TFormNode& c : N.Children) PrintNode(c, Indent + "  ", Eol, Out);
    Out += Indent + "end" + Eol;
}

}  // namespace

std::string FormFloatText(const TFormNodeValue& V) { return FloatText(V); }

std::string FormValueText(const TFormNodeValue& V, const std::string& Indent,
                          const std::string& LineEnd) {
    std::string out;
    PrintValue(V, Indent, LineEnd, out);
    return out;
}

std::string PrintFormTree(const TFormNode& Root, const std::string& LineEnd) {
    std::string out;
    PrintNode(Root, "", LineEnd, out);
    return out;
}

}  // namespace zk::formfile
