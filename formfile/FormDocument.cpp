#include "zk/formfile/FormDocument.h"

#include <algorithm>

#include "zk/formfile/FormTextReader.h"

namespace zk::formfile {

namespace {

void CollectNodes(const TFormNode& N, std::vector<const TFormNode*>& Out) {
    Out.push_back(&N);
    for (const TFormNode& c : N.Children) CollectNodes(c, Out);
}

}  // namespace

TFormDocument TFormDocument::Read(std::string Bytes, const std::string& FileName) {
    if (LooksBinary(Bytes)) return ReadBinary(std::move(Bytes), FileName);
    return ReadText(std::move(Bytes), FileName);
}

TFormDocument TFormDocument::ReadText(std::string Text, const std::string& FileName) {
    TFormDocument doc;
    doc.FFileName = FileName;
    TFormTextRead read = ReadFormText(Text, FileName);
    doc.FRoot = std::move(read.Root);
    doc.FTrailingAt = read.TrailingAt;
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
    return SpliceEdits();
}

std::string TFormDocument::SpliceEdits() const {
    // Bytes [Start, End) of the original give way to Now's value (null: nothing) of Node's
    // Edit: the value alone when the file had the property, else a new line.
    struct TSplice {
        size_t Start, End;
        const TFormNode* Node;
        const TPropertyEdit* Edit;
        const TFormNodeProperty* Now;
    };
    std::deque<TSplice> splices;  // in small blocks, as the edits
    auto collect = [&](auto& self, const TFormNode& n) -> void {
        for (uint32_t i = n.LastEdit; i; i = FEdits[i - 1].Prev) {
            const TPropertyEdit& e = FEdits[i - 1];
            // After a removal a namesake further down is not what the edit made.
            const TFormNodeProperty* now = e.Removed ? nullptr : FindProperty(n, e.Name);
            if (e.Had) {
                if (!now)
                    splices.push_back({e.LineStart, e.LineEnd, &n, &e, nullptr});
                else if (!e.Unchanged(now->Value))
                    splices.push_back({e.ValueStart, e.ValueEnd, &n, &e, now});
            } else if (now) {
                splices.push_back({n.InsertAt, n.InsertAt, &n, &e, now});
            }
        }
        for (const TFormNode& c : n.Children) self(self, c);
    };
    collect(collect, FRoot);
    // By place; at one place by node, then by lower-case name, as the edits were once kept.
    auto before = [](const TSplice& a, const TSplice& b) {
        if (a.Start != b.Start) return a.Start < b.Start;
        if (a.Node != b.Node) return a.Node->Span.Start < b.Node->Span.Start;
        auto lower = [](char c) {
            return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        };
        const std::string &x = a.Edit->Name, &y = b.Edit->Name;
        return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(),
                                            [&](char p, char q) { return lower(p) < lower(q); });
    };
    if (!std::is_sorted(splices.begin(), splices.end(), before))
        std::sort(splices.begin(), splices.end(), before);
    std::string out;
    out.reserve(FBytes.size() + splices.size() * 32);
    size_t pos = 0;
    for (const TSplice& s : splices) {
        out.append(FBytes, pos, s.Start - pos);
        pos = s.End;
        if (!s.Now) continue;
        if (s.Edit->Had) {
            out += FormValueText(s.Now->Value, s.Node->Indent, FLineEnd);
            continue;
        }
        if (s.Node->InsertInline) out += FLineEnd;
        out += s.Node->Indent;
        out += s.Edit->Name;
        out += " = ";
        out += FormValueText(s.Now->Value, s.Node->Indent, FLineEnd);
        out += FLineEnd;
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
            if (SameIdent(n->Name, Name)) return n;
        return nullptr;
    }
    // A path: each part found among the descendants of the one before.
    size_t start = 0;
    const TFormNode* at = nullptr;
    while (start <= Name.size()) {
        size_t dot = Name.find('.', start);
        std::string part = Name.substr(start, dot == std::string::npos ? dot : dot - start);
        if (!at) {
            if (!SameIdent(FRoot.Name, part)) return nullptr;
            at = &FRoot;
        } else {
            std::vector<const TFormNode*> below;
            CollectNodes(*at, below);
            const TFormNode* next = nullptr;
            for (size_t i = 1; i < below.size() && !next; ++i)
                if (SameIdent(below[i]->Name, part)) next = below[i];
            if (!next) return nullptr;
            at = next;
        }
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    return at;
}

TFormDocument::TPropertyEdit& TFormDocument::EditOf(const TFormNode& Node, const std::string& Name,
                                                    const TFormNodeProperty* Now) {
    // The node is one of this document's own; only the document changes it.
    uint32_t& last = const_cast<TFormNode&>(Node).LastEdit;
    for (uint32_t i = last; i; i = FEdits[i - 1].Prev)
        if (SameIdent(FEdits[i - 1].Name, Name)) return FEdits[i - 1];
    TPropertyEdit& e = FEdits.emplace_back();
    e.Name = Name;
    if (Now) {
        e.Had = true;
        e.LineStart = Now->LineStart;
        e.LineEnd = Now->LineEnd;
        e.ValueStart = Now->Value.Span.Start;
        e.ValueEnd = Now->Value.Span.End;
        if (Now->Value.Type == TFormValueType::Integer)
            e.WasInt = Now->Value.Int;
        else
            e.Was = std::make_shared<const TFormNodeValue>(Now->Value);
    }
    e.Prev = last;
    last = static_cast<uint32_t>(FEdits.size());
    return e;
}

void TFormDocument::SetProperty(const TFormNode& Node, const std::string& Name,
                                TFormNodeValue Value) {
    Value.Span = {};
    // The node is one of this document's own; only the document changes it.
    auto& n = const_cast<TFormNode&>(Node);
    auto* p = const_cast<TFormNodeProperty*>(FindProperty(n, Name));
    // A binary stream is written anew from the tree: only text needs the splice.
    if (!FBinary) EditOf(Node, Name, p).Removed = false;
    if (p)
        p->Value = std::move(Value);
    else
        n.Properties.push_back(TFormNodeProperty{Name, std::move(Value), TFormSpan{}, 0, 0});
    FEdited = true;
}

void TFormDocument::RemoveProperty(const TFormNode& Node, const std::string& Name) {
    const TFormNodeProperty* p = FindProperty(Node, Name);
    if (!p) return;
    if (!FBinary) EditOf(Node, Name, p).Removed = true;
    auto& n = const_cast<TFormNode&>(Node);
    n.Properties.erase(n.Properties.begin() + (p - n.Properties.data()));
    FEdited = true;
}

std::optional<int64_t> TFormDocument::HelpContext(const TFormNode& Node) const {
    const TFormNodeProperty* p = FindProperty(Node, "HelpContext");
    if (!p) return std::nullopt;
    // The property is a 32-bit signed integer: anything else would not read back as stored.
    if (p->Value.Type != TFormValueType::Integer || p->Value.Int < INT32_MIN ||
        p->Value.Int > INT32_MAX)
        throw EFormFileError(FFileName + ":" + std::to_string(p->Span.Line) + ":" +
                                 std::to_string(p->Span.Column) + ": expected an integer " +
                                 "HelpContext value from -2147483648 to 2147483647",
                             p->Span.Line, p->Span.Column);
    return p->Value.Int;
}

void TFormDocument::SetHelpContext(const TFormNode& Node, int32_t Value) {
    if (HelpContext(Node).value_or(0) == Value) return;
    // One name for every call: numbering a form calls this once a component.
    static const std::string name = "HelpContext";
    if (Value == 0) return RemoveProperty(Node, name);
    TFormNodeValue v;
    v.Int = Value;
    SetProperty(Node, name, std::move(v));
}

}  // namespace zk::formfile
