#include "zk/host/rtl/FormText.h"

#include <cctype>

#include "zk/host/platform/Ascii.h"

namespace zk::rtl {

namespace {

class TParser {
  public:
    explicit TParser(const std::string& Text) : FText(Text) {}

    TFormObject ParseRoot() {
        SkipBlanks();
        TFormObject root = ParseObject();
        SkipBlanks();
        if (FPos < FText.size()) Fail("text after the final 'end'");
        return root;
    }

  private:
    [[noreturn]] void Fail(const std::string& Msg) const { throw EReadError(Msg, FLine); }

    void SkipBlanks() {
        while (FPos < FText.size()) {
            char c = FText[FPos];
            if (c == '\n') {
                ++FLine;
                ++FPos;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++FPos;
            } else {
                break;
            }
        }
    }

    // Blanks within one line only.
    void SkipSpaces() {
        while (FPos < FText.size() &&
               (FText[FPos] == ' ' || FText[FPos] == '\t' || FText[FPos] == '\r'))
            ++FPos;
    }

    static bool IdentStart(char c) {
        return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
    }
    static bool IdentChar(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    }

    // An identifier, with dots allowed inside when Dotted.
    std::string Ident(bool Dotted, const char* what) {
        SkipSpaces();
        if (FPos >= FText.size() || !IdentStart(FText[FPos])) Fail(std::string("expected ") + what);
        size_t start = FPos;
        while (FPos < FText.size() &&
               (IdentChar(FText[FPos]) || (Dotted && FText[FPos] == '.' &&
                                           FPos + 1 < FText.size() && IdentStart(FText[FPos + 1]))))
            ++FPos;
        return FText.substr(start, FPos - start);
    }

    void Expect(char c) {
        SkipSpaces();
        if (FPos >= FText.size() || FText[FPos] != c) Fail(std::string("expected '") + c + "'");
        ++FPos;
    }

    void EndOfLine() {
        SkipSpaces();
        if (FPos < FText.size() && FText[FPos] != '\n')
            Fail("unexpected text at the end of the line");
    }

    TFormObject ParseObject() {
        TFormObject obj;
        obj.Line = FLine;
        std::string kw = Ident(false, "'object'");
        if (kw != "object" && kw != "inherited") Fail("expected 'object', found '" + kw + "'");
        obj.Name = Ident(false, "a component name");
        Expect(':');
        obj.ClassName = Ident(false, "a class name");
        EndOfLine();
        for (;;) {
            SkipBlanks();
            if (FPos >= FText.size()) Fail("missing 'end' of object " + obj.Name);
            size_t save = FPos;
            int line = FLine;
            std::string word = Ident(true, "a property name, 'object' or 'end'");
            if (word == "end") {
                EndOfLine();
                return obj;
            }
            if (word == "object" || word == "inherited") {
                FPos = save;
                obj.Children.push_back(ParseObject());
                continue;
            }
            TFormProperty prop;
            prop.Name = word;
            prop.Line = line;
            Expect('=');
            prop.Value = ParseValue();
            EndOfLine();
            obj.Properties.push_back(std::move(prop));
        }
    }

    TFormValue ParseValue() {
        SkipSpaces();
        if (FPos >= FText.size()) Fail("expected a value");
        TFormValue v;
        char c = FText[FPos];
        if (c == '\'' || c == '#') {
            v.Kind = TFormValue::vaString;
            v.Str = ParseString();
        } else if (c == '(') {
            ++FPos;
            v.Kind = TFormValue::vaList;
            for (;;) {
                SkipBlanks();
                if (FPos < FText.size() && FText[FPos] == ')') {
                    ++FPos;
                    break;
                }
                if (FPos >= FText.size() || (FText[FPos] != '\'' && FText[FPos] != '#'))
                    Fail("expected a string or ')' in a list");
                v.Items.push_back(ParseString());
            }
        } else if (c == '-' || c == '+' || c == '$' ||
                   std::isdigit(static_cast<unsigned char>(c))) {
            v.Kind = TFormValue::vaInt;
            v.Int = ParseInt();
        } else if (IdentStart(c)) {
            v.Kind = TFormValue::vaIdent;
            v.Str = Ident(true, "a value");
        } else {
            Fail(std::string("unexpected character '") + c + "'");
        }
        return v;
    }

    int64_t ParseInt() {
        bool neg = false;
        if (FText[FPos] == '-' || FText[FPos] == '+') neg = FText[FPos++] == '-';
        int base = 10;
        if (FPos < FText.size() && FText[FPos] == '$') {
            base = 16;
            ++FPos;
        }
        size_t start = FPos;
        uint64_t value = 0;
        while (FPos < FText.size()) {
            const int digit = platform::HexDigitValue(FText[FPos]);
            if (digit < 0 || digit >= base) break;
            value = value * base + digit;
            if (value > (1ull << 40)) Fail("number too large");
            ++FPos;
        }
        if (FPos == start) Fail("expected a number");
        return neg ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    }

    // 'quoted' and #nn pieces, joined directly or with '+' across lines.
    std::string ParseString() {
        std::string out;
        for (;;) {
            if (FPos < FText.size() && FText[FPos] == '\'') {
                ++FPos;
                for (;;) {
                    if (FPos >= FText.size() || FText[FPos] == '\n') Fail("unterminated string");
                    if (FText[FPos] == '\'') {
                        if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
                            out += '\'';
                            FPos += 2;
                            continue;
                        }
                        ++FPos;
                        break;
                    }
                    out += FText[FPos++];
                }
            } else if (FPos < FText.size() && FText[FPos] == '#') {
                ++FPos;
                int64_t code = ParseInt();
                if (code < 0 || code > 255) Fail("character code out of range");
                out += static_cast<char>(code);
            } else {
                break;
            }
            size_t save = FPos;
            int line = FLine;
            SkipSpaces();
            if (FPos < FText.size() && FText[FPos] == '+') {
                ++FPos;
                SkipBlanks();
                if (FPos >= FText.size() || (FText[FPos] != '\'' && FText[FPos] != '#'))
                    Fail("expected a string after '+'");
            } else {
                FPos = save;
                FLine = line;
            }
        }
        return out;
    }

    const std::string& FText;
    size_t FPos = 0;
    int FLine = 1;
};

void PrintObject(const TFormObject& obj, int depth, std::string& out) {
    std::string indent(static_cast<size_t>(depth) * 2, ' ');
    out += indent + "object " + obj.Name + ": " + obj.ClassName + "\n";
    for (const TFormProperty& p : obj.Properties) {
        out += indent + "  " + p.Name + " = ";
        switch (p.Value.Kind) {
            case TFormValue::vaInt:
                out += std::to_string(p.Value.Int);
                break;
            case TFormValue::vaString:
                out += QuoteFormString(p.Value.Str);
                break;
            case TFormValue::vaIdent:
                out += p.Value.Str;
                break;
            case TFormValue::vaList:
                out += "(";
                for (const std::string& item : p.Value.Items)
                    out += "\n" + indent + "    " + QuoteFormString(item);
                out += ")";
                break;
        }
        out += "\n";
    }
    for (const TFormObject& child : obj.Children) PrintObject(child, depth + 1, out);
    out += indent + "end\n";
}

}  // namespace

TFormObject ParseFormText(const std::string& Text) { return TParser(Text).ParseRoot(); }

std::string PrintFormText(const TFormObject& Object) {
    std::string out;
    PrintObject(Object, 0, out);
    return out;
}

std::string QuoteFormString(const std::string& S) {
    std::string out;
    bool open = false;
    for (char ch : S) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 32) {
            if (open) out += '\'';
            open = false;
            out += "#" + std::to_string(c);
        } else {
            if (!open) out += '\'';
            open = true;
            out += ch;
            if (ch == '\'') out += '\'';
        }
    }
    if (open) out += '\'';
    if (out.empty()) out = "''";
    return out;
}

}  // namespace zk::rtl
