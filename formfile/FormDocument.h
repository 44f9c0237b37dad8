// A form file as a document that can be edited without disturbing it: the original bytes and
// a parsed component tree whose nodes remember where in those bytes they came from. An edit
// changes the tree and splices only the bytes it must; a document that was not edited saves
// byte for byte as it was read. Reads the text form format (.dfm, .lfm as Delphi and Lazarus
// write them) through formfile/FormTextReader.h and the binary TPF0 stream through
// formfile/FormBinary.h; the tree's types are in formfile/FormTree.h.
//
// Pure logic: bytes in, bytes out. Reading files and replacing them is the caller's business.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "zk/formfile/FormBinary.h"
#include "zk/formfile/FormTextWriter.h"
#include "zk/formfile/FormTree.h"

namespace zk::formfile {

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

    // Sets Node's property Name to Value: an existing value is changed in place, a new
    // property inserted before the first nested object with the file's indentation and line
    // end. Node is one of this document's nodes.
    void SetProperty(const TFormNode& Node, const std::string& Name, const TFormNodeValue& Value);
    // Removes Node's property Name with its line; nothing when it has none.
    void RemoveProperty(const TFormNode& Node, const std::string& Name);

    // The HelpContext value stored for Node (nothing when absent). A stored value that is not
    // an integer raises EFormFileError naming its place.
    std::optional<int64_t> HelpContext(const TFormNode& Node) const;
    // Sets Node's HelpContext: an existing value is changed in place, a new one inserted
    // before the first nested object with the file's indentation and line end; 0 (the
    // default) removes the line.
    void SetHelpContext(const TFormNode& Node, int32_t Value);

    // Where a second form begins after the first one's 'end' (Lazarus writes such files); 0
    // when there is none. It is not read, and kept byte for byte.
    size_t TrailingAt() const { return FTrailingAt; }
    const std::string& LineEnd() const { return FLineEnd; }
    const std::string& FileName() const { return FFileName; }

  private:
    // One property's edits, against the property as the file had it, with where its node
    // takes a new line.
    struct TPropertyEdit {
        std::string Name;
        size_t InsertAt = 0;
        bool InsertInline = false;
        std::string Indent;
        std::optional<TFormNodeProperty> Original;  // with its place in the bytes
        std::optional<TFormNodeValue> Now;          // nothing: removed
    };

    TFormDocument() = default;
    TPropertyEdit& EditOf(const TFormNode& Node, const std::string& Name);
    std::string SpliceEdits() const;

    std::string FBytes;
    std::string FFileName;
    bool FBinary = false;
    bool FEdited = false;
    TFormBinaryFrame FFrame;
    TFormNode FRoot;
    std::string FLineEnd = "\r\n";
    size_t FTrailingAt = 0;
    // Text only: by the node's place in the bytes (which survives moving the document) and
    // the lower-case property name.
    std::map<std::pair<size_t, std::string>, TPropertyEdit> FEdits;
};

}  // namespace zk::formfile
