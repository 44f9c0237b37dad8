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
#include <deque>
#include <memory>
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
    void SetProperty(const TFormNode& Node, const std::string& Name, TFormNodeValue Value);
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
    // One property's edit. What the property is now, the node says.
    struct TPropertyEdit {
        std::string Name;  // as first given: a new line spells it so
        bool Removed = false;
        uint32_t Prev = 0;  // 1 + the index of the node's edit before this one; 0: none
        // The property as the file had it: its place in the bytes and its value, an integer
        // kept in place (the common case needs no memory of its own), anything else shared by
        // copies of the document, as it never changes.
        bool Had = false;
        size_t LineStart = 0, LineEnd = 0, ValueStart = 0, ValueEnd = 0;
        int64_t WasInt = 0;
        std::shared_ptr<const TFormNodeValue> Was;
        bool Unchanged(const TFormNodeValue& Now) const {
            return Was ? SameValue(Now, *Was)
                       : Now.Type == TFormValueType::Integer && Now.Int == WasInt;
        }
    };

    TFormDocument() = default;
    // Node's edit of Name; the first one keeps Now, the property as the file had it (null: it
    // had none).
    TPropertyEdit& EditOf(const TFormNode& Node, const std::string& Name,
                          const TFormNodeProperty* Now);
    std::string SpliceEdits() const;

    std::string FBytes;
    std::string FFileName;
    bool FBinary = false;
    bool FEdited = false;
    TFormBinaryFrame FFrame;
    TFormNode FRoot;
    std::string FLineEnd = "\r\n";
    size_t FTrailingAt = 0;
    // Text only: the edits in the order made, chained from their nodes (TFormNode::LastEdit);
    // in small blocks, as one large block would be new memory at every numbering.
    std::deque<TPropertyEdit> FEdits;
};

}  // namespace zk::formfile
