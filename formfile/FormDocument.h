// A form file as a document that can be edited without disturbing it: the original bytes and
// a parsed component tree whose nodes remember where in those bytes they came from. An edit
// changes the tree and splices only the bytes it must; a document that was not edited saves
// byte for byte as it was read. Reads the text form format (.dfm, .lfm as Delphi and Lazarus
// write them) and, through formfile/FormBinary.h, the binary TPF0 stream.
//
// Pure logic: bytes in, bytes out. Reading files and replacing them is the caller's business.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/rtl/SysUtils.h"

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
    std::array<uint8_t, 10> Float{};
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
    std::string Indent;
    // The HelpContext line as read, for splicing edits against the original bytes.
    struct {
        bool Present = false;
        bool Edited = false;
        size_t ValueStart = 0, ValueEnd = 0, LineStart = 0, LineEnd = 0;
        int64_t Value = 0;
    } HelpLine;
};

// Value equality as the component tree sees it: encodings (vaInt8 or vaInt32, vaString or
// vaWString), spellings ($10 or 16) and positions do not count.
bool SameValue(const TFormNodeValue& A, const TFormNodeValue& B);
bool SameTree(const TFormNode& A, const TFormNode& B);
// A float as form text writes it ("1.5", "2.5s", "45000.5d", "125000c"); empty when it is not
// finite.
std::string FormFloatText(const TFormNodeValue& V);

// The frame around a binary stream: nothing, or the resource header that Delphi's binary form
// files carry (kept byte for byte, its size fields updated on write).
struct TFormBinaryFrame {
    enum Kind : uint8_t { Bare, Res16, Res32 } Kind = Bare;
    std::string Prefix;    // bytes before "TPF0"
    std::string Suffix;    // bytes after the stream (other resources)
    size_t SizeField = 0;  // offset in Prefix of the 32-bit data size
};

class TFormDocument {
  public:
    // Reads Bytes as a binary stream when they start with "TPF0" or a resource header, else as
    // text. FileName only names the file in error messages. Raises EFormFileError.
    static TFormDocument Read(std::string Bytes, const std::string& FileName);
    static TFormDocument ReadText(std::string Text, const std::string& FileName);
    static TFormDocument ReadBinary(std::string Bytes, const std::string& FileName);

    bool IsBinary() const { return FBinary; }
    const TFormNode& Root() const { return FRoot; }
    // Unedited, the bytes read; edited, the bytes read with only the edits spliced in (text)
    // or the stream written anew in its own frame (binary).
    std::string Save() const;
    // The text form: for a text document what Save gives; for a binary one the tree printed
    // in the IDEs' layout with LineEnd.
    std::string ToText(const std::string& LineEnd = "\r\n") const;
    // The binary stream of the tree (without a resource header: use Frame for that).
    std::string ToBinary() const;

    // Every object in tree order (the form first, then nested objects in file order).
    std::vector<const TFormNode*> Nodes() const;
    // The first object named Name (ignoring case), or a dotted path from the form
    // ("Form1.Panel1.Button1"); null when there is none.
    const TFormNode* Find(const std::string& Name) const;

    // The HelpContext value stored for Node (nothing when absent). A stored value that is not
    // an integer raises EFormFileError naming its place.
    std::optional<int64_t> HelpContext(const TFormNode& Node) const;
    // Sets Node's HelpContext: an existing value is changed in place, a new one inserted
    // before the first nested object with the file's indentation and line end; 0 (the
    // default) removes the line.
    void SetHelpContext(const TFormNode& Node, int32_t Value);

    const std::string& LineEnd() const { return FLineEnd; }
    const std::string& FileName() const { return FFileName; }

  private:
    TFormDocument() = default;

    std::string FBytes;
    std::string FFileName;
    bool FBinary = false;
    bool FEdited = false;
    TFormBinaryFrame FFrame;
    TFormNode FRoot;
    std::string FLineEnd = "\r\n";
};

// Prints a tree as text in the IDEs' layout (two spaces a level); raises EFormFileError for a
// value text cannot hold (a float that is not finite).
std::string PrintFormTree(const TFormNode& Root, const std::string& LineEnd);

}  // namespace zk::formfile
