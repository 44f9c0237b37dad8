#include "formfile/FormDocument.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "formfile/FormBinary.h"

namespace zk::formfile {

namespace {

// Deeper nesting than any designer writes; guards the recursion against hostile input.
constexpr int kMaxDepth = 256;

bool IdentStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IdentChar(char c) { return IdentStart(c) || (c >= '0' && c <= '9'); }
bool Digit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}
bool IsObjectKeyword(std::string_view w) {
    return SameText(w, "object") || SameText(w, "inherited") || SameText(w, "inline");
}

// The reader of the text form format. It accepts what the run-time library's own text parser
// accepts: tokens separated by any bytes up to the blank, keywords in any case.
class TTextParser {
  public:
    TTextParser(std::string_view Text, const std::string& FileName)
        : FText(Text), FFile(FileName) {}

    TFormNode Parse() {
        if (FText.substr(0, 3) == "\xEF\xBB\xBF") FPos = FLineStart = 3;
        SkipBlanks();
        TFormNode root = ParseObject(0);
        SkipBlanks();
        if (FPos < FText.size()) Fail("expected the end of the file after the form's 'end'");
        return root;
    }

  private:
    [[noreturn]] void FailAt(size_t Pos, int Line, size_t LineStart, const std::string& What) {
        int col = static_cast<int>(Pos - LineStart) + 1;
        throw EFormFileError(FFile + ":" + std::to_string(Line) + ":" + std::to_string(col) + ": " +
                                 What + ", found " + Found(Pos),
                             Line, col);
    }
    [[noreturn]] void Fail(const std::string& What) { FailAt(FPos, FLine, FLineStart, What); }

    std::string Found(size_t Pos) const {
        if (Pos >= FText.size()) return "the end of the file";
        char c = FText[Pos];
        if (IdentStart(c)) {
            size_t e = Pos;
            while (e < FText.size() && IdentChar(FText[e]) && e - Pos < 40) ++e;
            return "'" + std::string(FText.substr(Pos, e - Pos)) + "'";
        }
        if (c == '\r' || c == '\n') return "the end of the line";
        auto u = static_cast<unsigned char>(c);
        if (u < 32 || u >= 127) return "byte " + std::to_string(u);
        return std::string("'") + c + "'";
    }

    bool Eof() const { return FPos >= FText.size(); }
    char Peek() const { return FPos < FText.size() ? FText[FPos] : '\0'; }

    void SkipBlanks() {
        while (FPos < FText.size() && static_cast<unsigned char>(FText[FPos]) <= 32) {
            char c = FText[FPos++];
            if (c == '\n' || (c == '\r' && Peek() != '\n')) {
                ++FLine;
                FLineStart = FPos;
            }
        }
    }

    TFormSpan SpanHere() const {
        return {FPos, FPos, FLine, static_cast<int>(FPos - FLineStart) + 1};
    }

    std::string_view PeekWord() const {
        size_t e = FPos;
        if (e >= FText.size() || !IdentStart(FText[e])) return {};
        while (e < FText.size() && IdentChar(FText[e])) ++e;
        return FText.substr(FPos, e - FPos);
    }

    // An identifier, with '.'-joined parts when Dotted.
    std::string Symbol(bool Dotted, const char* What) {
        if (!IdentStart(Peek())) Fail(std::string("expected ") + What);
        size_t start = FPos;
        for (;;) {
            while (FPos < FText.size() && IdentChar(FText[FPos])) ++FPos;
            if (Dotted && Peek() == '.' && FPos + 1 < FText.size() && IdentStart(FText[FPos + 1])) {
                ++FPos;
                continue;
            }
            break;
        }
        return std::string(FText.substr(start, FPos - start));
    }

    void Expect(char C, const char* What) {
        if (Peek() != C) Fail(std::string("expected ") + What);
        ++FPos;
    }

    // Whitespace from the line's start to Pos only?
    bool AloneBefore(size_t Pos) const {
        for (size_t i = FLineStart; i < Pos; ++i)
            if (FText[i] != ' ' && FText[i] != '\t') return false;
        return true;
    }

    TFormNode ParseObject(int Depth) {
        if (Depth > kMaxDepth) Fail("expected less deeply nested objects");
        TFormNode node;
        node.Span = SpanHere();
        size_t headerLineStart = FLineStart;
        bool headerAlone = AloneBefore(FPos);
        std::string_view kw = PeekWord();
        if (SameText(kw, "object"))
            node.Kind = TFormObjectKind::Object;
        else if (SameText(kw, "inherited"))
            node.Kind = TFormObjectKind::Inherited;
        else if (SameText(kw, "inline"))
            node.Kind = TFormObjectKind::Inline;
        else
            Fail("expected 'object', 'inherited' or 'inline'");
        FPos += kw.size();
        SkipBlanks();
        std::string first = Symbol(true, "a component name or class name");
        SkipBlanks();
        if (Peek() == ':') {
            ++FPos;
            SkipBlanks();
            node.Name = std::move(first);
            node.ClassName = Symbol(true, "a class name after ':'");
            SkipBlanks();
        } else {
            node.ClassName = std::move(first);
        }
        if (Peek() == '[') {
            ++FPos;
            SkipBlanks();
            TFormNodeValue v = ParseNumber();
            if (v.Type != TFormValueType::Integer)
                FailAt(v.Span.Start, v.Span.Line, FLineStart, "expected an integer order index");
            node.HasIndex = true;
            node.Index = v.Int;
            SkipBlanks();
            Expect(']', "']' after the order index");
        }
        node.Properties.reserve(4);
        std::string headerIndent =
            headerAlone
                ? std::string(FText.substr(headerLineStart, node.Span.Start - headerLineStart))
                : std::string();
        for (;;) {
            SkipBlanks();
            if (Eof()) Fail("expected a property, 'object' or 'end'");
            std::string_view w = PeekWord();
            if (SameText(w, "end") || IsObjectKeyword(w)) break;
            if (w.empty()) Fail("expected a property name, 'object' or 'end'");
            node.Properties.push_back(ParseProperty(Depth));
        }
        auto noteInsert = [&] {
            node.InsertInline = !AloneBefore(FPos);
            node.InsertAt = node.InsertInline ? FPos : FLineStart;
            if (!node.Properties.empty()) {
                const TFormNodeProperty& p = node.Properties.front();
                if (p.LineEnd != p.Span.End || p.LineStart != p.Span.Start)
                    node.Indent =
                        std::string(FText.substr(p.LineStart, p.Span.Start - p.LineStart));
                else
                    node.Indent = headerIndent + "  ";
            } else if (!node.InsertInline && IsObjectKeyword(PeekWord())) {
                node.Indent = std::string(FText.substr(FLineStart, FPos - FLineStart));
            } else {
                node.Indent = headerIndent + "  ";
            }
        };
        noteInsert();
        for (;;) {
            SkipBlanks();
            std::string_view w = PeekWord();
            if (SameText(w, "end")) {
                FPos += 3;
                break;
            }
            if (!IsObjectKeyword(w)) Fail("expected 'object', 'inherited', 'inline' or 'end'");
            node.Children.push_back(ParseObject(Depth + 1));
        }
        node.Span.End = FPos;
        for (const TFormNodeProperty& p : node.Properties) {
            if (!SameText(p.Name, "HelpContext")) continue;
            // The first one counts, as for reading and editing; a non-integer is reported then.
            if (p.Value.Type != TFormValueType::Integer) break;
            node.HelpLine.Present = true;
            node.HelpLine.ValueStart = p.Value.Span.Start;
            node.HelpLine.ValueEnd = p.Value.Span.End;
            node.HelpLine.LineStart = p.LineStart;
            node.HelpLine.LineEnd = p.LineEnd;
            node.HelpLine.Value = p.Value.Int;
            break;
        }
        return node;
    }

    TFormNodeProperty ParseProperty(int Depth) {
        TFormNodeProperty p;
        p.Span = SpanHere();
        bool alone = AloneBefore(FPos);
        size_t lineStart = FLineStart;
        p.Name = Symbol(true, "a property name");
        SkipBlanks();
        Expect('=', "'=' after the property name");
        SkipBlanks();
        p.Value = ParseValue(Depth + 1);
        p.Span.End = p.Value.Span.End;
        size_t e = FPos;
        while (e < FText.size() && (FText[e] == ' ' || FText[e] == '\t')) ++e;
        bool aloneAfter = true;
        if (e + 1 < FText.size() && FText[e] == '\r' && FText[e + 1] == '\n')
            e += 2;
        else if (e < FText.size() && (FText[e] == '\n' || FText[e] == '\r'))
            e += 1;
        else if (e < FText.size())
            aloneAfter = false;
        if (alone && aloneAfter) {
            p.LineStart = lineStart;
            p.LineEnd = e;
        } else {
            p.LineStart = p.Span.Start;
            p.LineEnd = p.Span.End;
        }
        return p;
    }

    TFormNodeValue ParseValue(int Depth) {
        if (Depth > kMaxDepth) Fail("expected less deeply nested values");
        char c = Peek();
        if (c == '\'' || c == '#') return ParseString();
        if (c == '-' || c == '+' || c == '$' || Digit(c)) return ParseNumber();
        TFormNodeValue v;
        v.Span = SpanHere();
        if (IdentStart(c)) {
            v.Text = Symbol(true, "a value");
            if (SameText(v.Text, "False"))
                v.Type = TFormValueType::False;
            else if (SameText(v.Text, "True"))
                v.Type = TFormValueType::True;
            else if (SameText(v.Text, "nil"))
                v.Type = TFormValueType::Nil;
            else
                v.Type = TFormValueType::Ident;
            if (v.Type != TFormValueType::Ident) v.Text.clear();
        } else if (c == '[') {
            v.Type = TFormValueType::Set;
            ++FPos;
            SkipBlanks();
            if (Peek() != ']') {
                for (;;) {
                    TFormNodeValue e;
                    e.Type = TFormValueType::Ident;
                    e.Span = SpanHere();
                    if (IdentStart(Peek())) {
                        e.Text = Symbol(false, "a set element");
                    } else if (Digit(Peek()) || Peek() == '-') {
                        e.Text = std::to_string(ParseNumber().Int);
                    } else {
                        Fail("expected a set element or ']'");
                    }
                    e.Span.End = FPos;
                    v.Items.push_back(std::move(e));
                    SkipBlanks();
                    if (Peek() == ']') break;
                    Expect(',', "',' or ']' in a set");
                    SkipBlanks();
                }
            }
            ++FPos;
        } else if (c == '(') {
            v.Type = TFormValueType::List;
            ++FPos;
            for (;;) {
                SkipBlanks();
                if (Peek() == ')') break;
                if (Eof()) Fail("expected a value or ')' in a list");
                v.Items.push_back(ParseValue(Depth + 1));
            }
            ++FPos;
        } else if (c == '{') {
            v.Type = TFormValueType::Binary;
            ++FPos;
            int high = -1;
            for (;;) {
                SkipBlanks();
                if (Peek() == '}') break;
                int d = HexValue(Peek());
                if (d < 0) Fail("expected hexadecimal digits or '}'");
                ++FPos;
                if (high < 0) {
                    high = d;
                } else {
                    v.Text.push_back(static_cast<char>(high * 16 + d));
                    high = -1;
                }
            }
            if (high >= 0) Fail("expected an even number of hexadecimal digits before '}'");
            ++FPos;
        } else if (c == '<') {
            v.Type = TFormValueType::Collection;
            ++FPos;
            for (;;) {
                SkipBlanks();
                if (Peek() == '>') break;
                TFormItem item;
                item.Span = SpanHere();
                if (!SameText(PeekWord(), "item")) Fail("expected 'item' or '>'");
                FPos += 4;
                SkipBlanks();
                if (Peek() == '[') {
                    ++FPos;
                    SkipBlanks();
                    item.HasOrder = true;
                    if (IdentStart(Peek())) {
                        item.Order.Span = SpanHere();
                        item.Order.Type = TFormValueType::Ident;
                        item.Order.Text = Symbol(true, "an order index");
                        item.Order.Span.End = FPos;
                    } else {
                        item.Order = ParseNumber();
                        if (item.Order.Type != TFormValueType::Integer)
                            Fail("expected an integer order index");
                    }
                    SkipBlanks();
                    Expect(']', "']' after the order index");
                }
                for (;;) {
                    SkipBlanks();
                    if (SameText(PeekWord(), "end")) {
                        FPos += 3;
                        break;
                    }
                    if (PeekWord().empty()) Fail("expected a property name or 'end' in an item");
                    item.Properties.push_back(ParseProperty(Depth + 1));
                }
                item.Span.End = FPos;
                v.Collection.push_back(std::move(item));
            }
            ++FPos;
        } else {
            Fail("expected a value");
        }
        v.Span.End = FPos;
        return v;
    }

    TFormNodeValue ParseNumber() {
        TFormNodeValue v;
        v.Span = SpanHere();
        size_t start = FPos;
        bool neg = false;
        if (Peek() == '-' || Peek() == '+') neg = FText[FPos++] == '-';
        if (Peek() == '$') {
            ++FPos;
            uint64_t value = 0;
            size_t digits = FPos;
            while (HexValue(Peek()) >= 0) {
                if (value >> 60) Fail("expected a hexadecimal number of at most 16 digits");
                value = value * 16 + static_cast<uint64_t>(HexValue(FText[FPos++]));
            }
            if (FPos == digits) Fail("expected hexadecimal digits after '$'");
            v.Int = static_cast<int64_t>(neg ? 0 - value : value);
        } else {
            size_t digits = FPos;
            while (Digit(Peek())) ++FPos;
            if (FPos == digits) Fail("expected a number");
            bool isFloat = false;
            if (Peek() == '.') {
                isFloat = true;
                ++FPos;
                while (Digit(Peek())) ++FPos;
            }
            if ((Peek() == 'e' || Peek() == 'E') &&
                (Digit(FPos + 1 < FText.size() ? FText[FPos + 1] : '\0') ||
                 ((FPos + 2 < FText.size()) && (FText[FPos + 1] == '+' || FText[FPos + 1] == '-') &&
                  Digit(FText[FPos + 2])))) {
                isFloat = true;
                FPos += 2;
                while (Digit(Peek())) ++FPos;
            }
            std::string_view body = FText.substr(digits, FPos - digits);
            char suffix = Peek();
            if (suffix == 's' || suffix == 'S' || suffix == 'c' || suffix == 'C' || suffix == 'd' ||
                suffix == 'D') {
                if (!IdentChar(FPos + 1 < FText.size() ? FText[FPos + 1] : '\0')) {
                    isFloat = true;
                    ++FPos;
                } else {
                    suffix = '\0';
                }
            } else {
                suffix = '\0';
            }
            if (isFloat) {
                v.Type = TFormValueType::Float;
                std::string num = (neg ? "-" : "") + std::string(body);
                if (!SetFloat(v, num, suffix)) {
                    FPos = start;
                    Fail("expected a number in range");
                }
            } else {
                uint64_t value = 0;
                auto [p, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
                (void)p;
                uint64_t limit = neg ? (1ull << 63) : (1ull << 63) - 1;
                if (ec != std::errc() || value > limit) {
                    FPos = start;
                    Fail("expected an integer in the 64-bit range");
                }
                v.Int = neg ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
            }
        }
        if (IdentChar(Peek()) || Peek() == '.') Fail("expected a blank after the number");
        v.Span.End = FPos;
        return v;
    }

    static bool SetFloat(TFormNodeValue& V, const std::string& Num, char Suffix) {
        const char* b = Num.data();
        const char* e = b + Num.size();
        switch (Suffix) {
            case 's':
            case 'S': {
                V.FloatType = TFormFloatType::Single;
                float f = 0;
                if (std::from_chars(b, e, f).ec != std::errc()) return false;
                std::memcpy(V.Float.data(), &f, 4);
                return true;
            }
            case 'd':
            case 'D': {
                V.FloatType = TFormFloatType::Date;
                double d = 0;
                if (std::from_chars(b, e, d).ec != std::errc()) return false;
                std::memcpy(V.Float.data(), &d, 8);
                return true;
            }
            case 'c':
            case 'C': {
                V.FloatType = TFormFloatType::Currency;
                long double x = 0;
                if (std::from_chars(b, e, x).ec != std::errc()) return false;
                if (!(std::fabs(x) < 9.2e18L)) return false;
                V.Int = std::llroundl(x);
                return true;
            }
            default: {
                V.FloatType = TFormFloatType::Extended;
                long double x = 0;
                if (std::from_chars(b, e, x).ec != std::errc()) return false;
                V.Float = ExtendedBytes(x);
                return true;
            }
        }
    }

    // Quoted parts and #nnn codes, joined directly or by '+' over blanks and lines.
    TFormNodeValue ParseString() {
        TFormNodeValue v;
        v.Type = TFormValueType::String;
        v.Span = SpanHere();
        for (;;) {
            char c = Peek();
            if (c == '\'') {
                ++FPos;
                for (;;) {
                    if (Eof() || FText[FPos] == '\n' || FText[FPos] == '\r')
                        Fail("expected the closing quote of the string");
                    char ch = FText[FPos++];
                    if (ch == '\'') {
                        if (Peek() != '\'') break;
                        ++FPos;
                    }
                    v.Str.push_back(static_cast<char16_t>(static_cast<unsigned char>(ch)));
                }
            } else if (c == '#') {
                ++FPos;
                uint32_t code = 0;
                size_t digits;
                if (Peek() == '$') {
                    ++FPos;
                    digits = FPos;
                    while (HexValue(Peek()) >= 0 && code <= 0xFFFF)
                        code = code * 16 + static_cast<uint32_t>(HexValue(FText[FPos++]));
                } else {
                    digits = FPos;
                    while (Digit(Peek()) && code <= 0xFFFF)
                        code = code * 10 + static_cast<uint32_t>(FText[FPos++] - '0');
                }
                if (FPos == digits) Fail("expected a character code after '#'");
                if (code > 0xFFFF) Fail("expected a character code up to 65535");
                v.Str.push_back(static_cast<char16_t>(code));
            } else {
                break;
            }
            size_t save = FPos, saveStart = FLineStart;
            int saveLine = FLine;
            SkipBlanks();
            if (Peek() == '+') {
                ++FPos;
                SkipBlanks();
                if (Peek() != '\'' && Peek() != '#') Fail("expected a string after '+'");
            } else {
                FPos = save;
                FLineStart = saveStart;
                FLine = saveLine;
                if (Peek() != '\'' && Peek() != '#') break;
            }
        }
        v.Span.End = FPos;
        return v;
    }

    std::string_view FText;
    const std::string& FFile;
    size_t FPos = 0;
    size_t FLineStart = 0;
    int FLine = 1;
};

// --- printing -------------------------------------------------------------------------------

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
    long double x = 0;
    std::string suffix;
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
            std::string s = Shortest(d);
            return s + "d";
        }
        case TFormFloatType::Double: {
            double d;
            std::memcpy(&d, V.Float.data(), 8);
            x = d;
            break;
        }
        case TFormFloatType::Extended:
            x = ExtendedValue(V.Float);
            break;
    }
    if (!std::isfinite(x)) return {};
    // Shortest text that reads back as the same extended value; a '.' keeps it a float.
    std::string s = Shortest(x);
    if (s.find_first_of(".eE") == std::string::npos) s += ".0";
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
            static const char* hex = "0123456789ABCDEF";
            Out += '{';
            for (size_t i = 0; i < V.Text.size(); ++i) {
                if (i % 32 == 0) Out += Eol + Indent + "  ";
                auto b = static_cast<unsigned char>(V.Text[i]);
                Out += hex[b >> 4];
                Out += hex[b & 15];
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

// --- equality ------------------------------------------------------------------------------

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

int FindHelpProperty(const TFormNode& N) {
    for (size_t i = 0; i < N.Properties.size(); ++i)
        if (SameText(N.Properties[i].Name, "HelpContext")) return static_cast<int>(i);
    return -1;
}

void CollectNodes(const TFormNode& N, std::vector<const TFormNode*>& Out) {
    Out.push_back(&N);
    for (const TFormNode& c : N.Children) CollectNodes(c, Out);
}

// One splice of the saved text: bytes [Start, End) of the original give way to a HelpContext
// value (Value), a whole new HelpContext line (Line) or nothing (Remove).
struct TSplice {
    enum Kind : uint8_t { Value, Line, Remove } Kind;
    size_t Start, End;
    const TFormNode* Node;
    int64_t Number;
};

void CollectEdits(const TFormNode& N, std::vector<TSplice>& Edits) {
    if (N.HelpLine.Edited) {
        int idx = FindHelpProperty(N);
        std::optional<int64_t> now;
        if (idx >= 0) now = N.Properties[static_cast<size_t>(idx)].Value.Int;
        const auto& h = N.HelpLine;
        if (h.Present) {
            if (!now)
                Edits.push_back({TSplice::Remove, h.LineStart, h.LineEnd, &N, 0});
            else if (*now != h.Value)
                Edits.push_back({TSplice::Value, h.ValueStart, h.ValueEnd, &N, *now});
        } else if (now) {
            Edits.push_back({TSplice::Line, N.InsertAt, N.InsertAt, &N, *now});
        }
    }
    for (const TFormNode& c : N.Children) CollectEdits(c, Edits);
}

void AppendNumber(std::string& Out, int64_t V) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, V);
    Out.append(buf, r.ptr);
}

}  // namespace

// --- extended floats ------------------------------------------------------------------------

static_assert(std::numeric_limits<long double>::digits == 64,
              "the 10-byte extended type of the stream is the x87 long double here");

std::array<uint8_t, 10> ExtendedBytes(long double X) {
    std::array<uint8_t, 10> b{};
    std::memcpy(b.data(), &X, 10);
    return b;
}

long double ExtendedValue(const std::array<uint8_t, 10>& B) {
    long double x = 0;
    std::memcpy(&x, B.data(), 10);
    return x;
}

std::string FormFloatText(const TFormNodeValue& V) { return FloatText(V); }

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

std::string PrintFormTree(const TFormNode& Root, const std::string& LineEnd) {
    std::string out;
    PrintNode(Root, "", LineEnd, out);
    return out;
}

// --- the document ---------------------------------------------------------------------------

TFormDocument TFormDocument::Read(std::string Bytes, const std::string& FileName) {
    if (LooksBinary(Bytes)) return ReadBinary(std::move(Bytes), FileName);
    return ReadText(std::move(Bytes), FileName);
}

TFormDocument TFormDocument::ReadText(std::string Text, const std::string& FileName) {
    TFormDocument doc;
    doc.FFileName = FileName;
    doc.FRoot = TTextParser(Text, FileName).Parse();
    size_t nl = Text.find('\n');
    if (nl != std::string::npos) doc.FLineEnd = nl > 0 && Text[nl - 1] == '\r' ? "\r\n" : "\n";
    doc.FBytes = std::move(Text);
    return doc;
}

TFormDocument TFormDocument::ReadBinary(std::string Bytes, const std::string& FileName) {
    TFormDocument doc;
    doc.FFileName = FileName;
    doc.FBinary = true;
    doc.FRoot = ReadFormStream(Bytes, FileName, doc.FFrame);
    doc.FBytes = std::move(Bytes);
    return doc;
}

std::string TFormDocument::Save() const {
    if (!FEdited) return FBytes;
    if (FBinary) return FrameFormStream(WriteFormStream(FRoot), FFrame);
    std::vector<TSplice> edits;
    CollectEdits(FRoot, edits);
    std::stable_sort(edits.begin(), edits.end(),
                     [](const TSplice& a, const TSplice& b) { return a.Start < b.Start; });
    std::string out;
    out.reserve(FBytes.size() + edits.size() * 32);
    size_t pos = 0;
    for (const TSplice& e : edits) {
        out.append(FBytes, pos, e.Start - pos);
        pos = e.End;
        if (e.Kind == TSplice::Remove) continue;
        if (e.Kind == TSplice::Line) {
            if (e.Node->InsertInline) out += FLineEnd;
            out += e.Node->Indent;
            out += "HelpContext = ";
        }
        AppendNumber(out, e.Number);
        if (e.Kind == TSplice::Line) out += FLineEnd;
    }
    out.append(FBytes, pos, std::string::npos);
    return out;
}

std::string TFormDocument::ToText(const std::string& LineEnd) const {
    if (!FBinary) return Save();
    return PrintFormTree(FRoot, LineEnd);
}

std::string TFormDocument::ToBinary() const { return WriteFormStream(FRoot); }

std::vector<const TFormNode*> TFormDocument::Nodes() const {
    std::vector<const TFormNode*> out;
    CollectNodes(FRoot, out);
    return out;
}

const TFormNode* TFormDocument::Find(const std::string& Name) const {
    std::vector<const TFormNode*> all = Nodes();
    if (Name.find('.') == std::string::npos) {
        for (const TFormNode* n : all)
            if (SameText(n->Name, Name)) return n;
        return nullptr;
    }
    // A path: each part found among the descendants of the one before.
    size_t start = 0;
    const TFormNode* at = nullptr;
    while (start <= Name.size()) {
        size_t dot = Name.find('.', start);
        std::string part = Name.substr(start, dot == std::string::npos ? dot : dot - start);
        if (!at) {
            if (!SameText(FRoot.Name, part)) return nullptr;
            at = &FRoot;
        } else {
            std::vector<const TFormNode*> below;
            CollectNodes(*at, below);
            const TFormNode* next = nullptr;
            for (size_t i = 1; i < below.size() && !next; ++i)
                if (SameText(below[i]->Name, part)) next = below[i];
            if (!next) return nullptr;
            at = next;
        }
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    return at;
}

std::optional<int64_t> TFormDocument::HelpContext(const TFormNode& Node) const {
    int idx = FindHelpProperty(Node);
    if (idx < 0) return std::nullopt;
    const TFormNodeProperty& p = Node.Properties[static_cast<size_t>(idx)];
    // The property is a 32-bit signed integer: anything else would not read back as stored.
    if (p.Value.Type != TFormValueType::Integer || p.Value.Int < INT32_MIN ||
        p.Value.Int > INT32_MAX)
        throw EFormFileError(FFileName + ":" + std::to_string(p.Span.Line) + ":" +
                                 std::to_string(p.Span.Column) + ": expected an integer " +
                                 "HelpContext value from -2147483648 to 2147483647",
                             p.Span.Line, p.Span.Column);
    return p.Value.Int;
}

void TFormDocument::SetHelpContext(const TFormNode& Node, int32_t Value) {
    std::optional<int64_t> now = HelpContext(Node);
    if (now.value_or(0) == Value) return;
    // The node is one of this document's own; only the document changes it.
    auto& n = const_cast<TFormNode&>(Node);
    int idx = FindHelpProperty(n);
    if (Value == 0) {
        n.Properties.erase(n.Properties.begin() + idx);
    } else if (idx >= 0) {
        TFormNodeValue& v = n.Properties[static_cast<size_t>(idx)].Value;
        v.Int = Value;
        v.StoredAs = TFormStoredAs::Auto;
    } else {
        TFormNodeProperty p;
        p.Name = "HelpContext";
        p.Value.Int = Value;
        n.Properties.push_back(std::move(p));
    }
    n.HelpLine.Edited = true;
    FEdited = true;
}

}  // namespace zk::formfile
