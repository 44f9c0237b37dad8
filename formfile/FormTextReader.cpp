#include "zk/formfile/FormTextReader.h"

#include "zk/formfile/FormTokens.h"

namespace zk::formfile {

namespace {

// Deeper nesting than any designer writes; guards the recursion against hostile input.
constexpr int kMaxDepth = 256;

// The structure of the text: objects, properties and values, over the tokens.
class TTextReader : TFormTokens {
  public:
    using TFormTokens::TFormTokens;

    TFormTextRead Read() {
        SkipBlanks();
        TFormTextRead read;
        read.Root = ParseObject(0);
        SkipBlanks();
        // A second form after the first (Lazarus writes such files) is kept, not read.
        if (!Eof() && !IsObjectKeyword(PeekWord()))
            Fail("expected the end of the file after the form's 'end'");
        if (!Eof()) read.TrailingAt = FPos;
        return read;
    }

  private:
    TFormNode ParseObject(int Depth) {
        if (Depth > kMaxDepth) Fail("expected less deeply nested objects");
        TFormNode node;
        node.Span = SpanHere();
        size_t headerLineStart = FLineStart;
        bool headerAlone = AloneBefore(FPos);
        std::string_view kw = PeekWord();
        if (SameIdent(kw, "object"))
            node.Kind = TFormObjectKind::Object;
        else if (SameIdent(kw, "inherited"))
            node.Kind = TFormObjectKind::Inherited;
        else if (SameIdent(kw, "inline"))
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
            if (SameIdent(w, "end") || IsObjectKeyword(w)) break;
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
            if (SameIdent(w, "end")) {
                FPos += 3;
                break;
            }
            if (!IsObjectKeyword(w)) Fail("expected 'object', 'inherited', 'inline' or 'end'");
            node.Children.push_back(ParseObject(Depth + 1));
        }
        node.Span.End = FPos;
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
            if (SameIdent(v.Text, "False"))
                v.Type = TFormValueType::False;
            else if (SameIdent(v.Text, "True"))
                v.Type = TFormValueType::True;
            else if (SameIdent(v.Text, "nil"))
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
                if (!SameIdent(PeekWord(), "item")) Fail("expected 'item' or '>'");
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
                    if (SameIdent(PeekWord(), "end")) {
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
};

}  // namespace

TFormTextRead ReadFormText(std::string_view Text, const std::string& FileName) {
    return TTextReader(Text, FileName).Read();
}

}  // namespace zk::formfile
