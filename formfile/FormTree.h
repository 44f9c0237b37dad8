// The lossless tree of a form file: objects, their properties and values, each remembering
// where in the bytes it was read from. The tree holds what the file says, not what a property
// means; the document (formfile/FormDocument.h) edits it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "zk/formfile/FormExtended.h"
#include "zk/host/platform/Ascii.h"
#include "zk/host/rtl/SysUtils.h"

namespace zk::formfile {

// A form file that cannot be read. The message is complete: "FILE:LINE:COLUMN: what" for text,
// "FILE: byte N: what" for binary streams.
class EFormFileError : public rtl::Exception {
  public:
    EFormFileError(std::string Msg, int Line, int Column)
        : rtl::Exception(std::move(Msg)), FLine(Line), FColumn(Column) {}
    int Line() const { return FLine; }
    int Column() const { return FColumn; }

  private:
    int FLine;
    int FColumn;
};

// Where a node stands in the text it was read from (offsets are bytes, End is one past the
// node; Line and Column count from 1). Nodes read from a binary stream or added by an edit
// have Line 0.
struct TFormSpan {
    size_t Start = 0;
    size_t End = 0;
    int Line = 0;
    int Column = 0;
};

enum class TFormValueType : uint8_t {
    Integer,
    Float,
    String,
    Ident,
    False,
    True,
    Nil,
    Set,
    List,
    Binary,
    Collection
};

// The float kinds of the stream: a plain number is Extended; suffixes s, c and d pick Single,
// Currency (the text holds the value times 10000) and Date. Double only comes from streams.
enum class TFormFloatType : uint8_t { Extended, Single, Currency, Date, Double };

// How a value was encoded in the binary stream it was read from, so that an unedited value is
// written back in the same encoding. Auto: the smallest encoding, as the run-time library's
// text-to-binary conversion chooses it.
enum class TFormStoredAs : uint8_t {
    Auto,
    Int8,
    Int16,
    Int32,
    Int64,
    String,
    LString,
    WString,
    UTF8String
};

struct TFormItem;

struct TFormNodeValue {
    TFormValueType Type = TFormValueType::Integer;
    TFormFloatType FloatType = TFormFloatType::Extended;
    TFormStoredAs StoredAs = TFormStoredAs::Auto;
    // Integer value; for Currency floats the stored 64-bit integer (value times 10000).
    int64_t Int = 0;
    // Float bytes as the stream holds them: 10 for Extended, 4 for Single, 8 otherwise.
    TExtendedBytes Float{};
    // String value in character codes: bytes of the file's 8-bit or UTF-8 text as they are
    // (0..255), #nnn codes as given.
    std::u16string Str;
    // Ident: the name (dotted for references such as Form2.DataSource1); Binary: the bytes.
    std::string Text;
    // List: the values; Set: one Ident per element.
    std::vector<TFormNodeValue> Items;
    std::vector<TFormItem> Collection;
    TFormSpan Span;
};

struct TFormNodeProperty {
    std::string Name;  // dotted: Font.Name
    TFormNodeValue Value;
    TFormSpan Span;        // the name through the value's end
    size_t LineStart = 0;  // where its line begins
    size_t LineEnd = 0;    // past its line end, when nothing else shares the line; else Span.End
};

// One item of a collection, with its optional order index [n].
struct TFormItem {
    bool HasOrder = false;
    TFormNodeValue Order;
    std::vector<TFormNodeProperty> Properties;
    TFormSpan Span;
};

enum class TFormObjectKind : uint8_t { Object, Inherited, Inline };

struct TFormNode {
    TFormObjectKind Kind = TFormObjectKind::Object;
    std::string Name;  // may be empty ("object TClass")
    std::string ClassName;
    bool HasIndex = false;  // "[n]" after the class: the child position
    int64_t Index = 0;
    std::vector<TFormNodeProperty> Properties;
    std::vector<TFormNode> Children;
    TFormSpan Span;  // the header keyword through the 'end'
    // Where a new property goes in the text (before the first nested object) and the
    // indentation it gets.
    size_t InsertAt = 0;
    bool InsertInline = false;  // the keyword there shares its line with something else
    // The document's own: 1 + the index of its latest edit of this node's properties (0: none),
    // so that an edit finds the node's earlier ones without a look-up. Here it fills what the
    // bool leaves: the node is no larger for it.
    uint32_t LastEdit = 0;
    std::string Indent;
};

// Value equality as the component tree sees it: encodings (vaInt8 or vaInt32, vaString or
// vaWString), spellings ($10 or 16) and positions do not count.
bool SameValue(const TFormNodeValue& A, const TFormNodeValue& B);
bool SameTree(const TFormNode& A, const TFormNode& B);

// Names as Object Pascal compares them (the run-time library's SameText), inline: the reader
// and every property look-up compare names at each step.
inline bool SameIdent(std::string_view A, std::string_view B) {
    return platform::SameAsciiText(A, B);
}
// Node's first property named Name (ignoring case); null when it has none.
const TFormNodeProperty* FindProperty(const TFormNode& Node, std::string_view Name);

}  // namespace zk::formfile
