#include "zk/host/forms/DesignedForm.h"

#include <map>
#include <memory>
#include <mutex>

#include "zk/formfile/TextEncoding.h"
#include "zk/host/platform/Ascii.h"
#include "zk/host/rtl/TypInfo.h"

namespace zk::forms {

using namespace zk::rtl;
using namespace zk::formfile;

namespace {

// A string value as the host holds strings: character codes up to 255 are the file's bytes,
// higher ones (only #nnn codes give them) UTF-8.
std::string ToHostString(const std::u16string& Codes) {
    std::string out;
    for (char16_t u : Codes) {
        if (u < 0x100)
            out += static_cast<char>(u);
        else
            zk::formfile::AppendUtf8(out, u);
    }
    return out;
}

// The class information of designed components of one class, shared by all forms and kept
// for the program's life (components may still ask for it while their form goes).
const TClassInfo& DesignedClass(const std::string& Name, bool HelpContext, bool Caption) {
    static std::mutex lock;
    static std::map<std::string, std::unique_ptr<TClassInfo>> classes;
    std::string key;
    for (char c : Name) key += zk::platform::LowerAscii(c);
    key += HelpContext ? "/h" : "/-";
    key += Caption ? "c" : "-";
    std::lock_guard<std::mutex> guard(lock);
    std::unique_ptr<TClassInfo>& slot = classes[key];
    if (!slot) {
        TClassBuilder<TDesignedComponent> b(Name, &TComponent::StaticClass());
        if (HelpContext)
            b.Ord("HelpContext", TypeInfo_THelpContext(), &TDesignedComponent::HelpContext,
                  &TDesignedComponent::SetHelpContext, 0);
        if (Caption) b.Str("Caption", &TDesignedComponent::Caption, nullptr);
        slot = std::make_unique<TClassInfo>(b.Build());
    }
    return *slot;
}

// Sets the published properties of a host component from the file where the value fits the
// property's type. What does not fit (handlers, references, dotted and composite values)
// stays in the document only: the designer shows the form, it does not run it.
void AssignFitting(TComponent& C, const TFormNode& N) {
    for (const TFormNodeProperty& fp : N.Properties) {
        if (SameText(fp.Name, "Name") || SameText(fp.Name, "HelpContext")) continue;
        const TPropInfo* p = GetPropInfo(&C, fp.Name);
        if (!p || !p->Writable()) continue;
        const TFormNodeValue& v = fp.Value;
        const TTypeInfo& type = *p->PropType;
        try {
            switch (type.Kind) {
                case TTypeKind::tkInteger:
                    if (v.Type == TFormValueType::Integer && v.Int >= type.MinValue &&
                        v.Int <= type.MaxValue)
                        p->SetOrd(C, v.Int);
                    break;
                case TTypeKind::tkEnumeration:
                    if (v.Type == TFormValueType::False || v.Type == TFormValueType::True) {
                        if (&type == &TypeInfo_Boolean())
                            p->SetOrd(C, v.Type == TFormValueType::True ? 1 : 0);
                    } else if (v.Type == TFormValueType::Ident) {
                        for (size_t i = 0; i < type.Names.size(); ++i)
                            if (SameText(v.Text, type.Names[i].c_str()))
                                p->SetOrd(C, static_cast<int64_t>(i));
                    }
                    break;
                case TTypeKind::tkString:
                    if (v.Type == TFormValueType::String) p->SetStr(C, ToHostString(v.Str));
                    break;
                case TTypeKind::tkStrings:
                    if (v.Type == TFormValueType::List) {
                        std::vector<std::string> lines;
                        for (const TFormNodeValue& item : v.Items) {
                            if (item.Type != TFormValueType::String) break;
                            lines.push_back(ToHostString(item.Str));
                        }
                        if (lines.size() == v.Items.size()) p->SetList(C, lines);
                    }
                    break;
                case TTypeKind::tkMethod:
                case TTypeKind::tkClass:
                    break;
            }
        } catch (const Exception&) {
            // A value the host control refuses is still the file's: it stays as stored.
        }
    }
}

[[noreturn]] void Refuse(const TFormDocument& Doc, const TFormNode& N, const std::string& What) {
    throw EFormFileError(Doc.FileName() + ":" + std::to_string(N.Span.Line) + ":" +
                             std::to_string(N.Span.Column) + ": " + What,
                         N.Span.Line, N.Span.Column);
}

}  // namespace

TDesignedForm::TDesignedForm(std::string Bytes, const std::string& FileName)
    : TDesignedForm(TFormDocument::Read(std::move(Bytes), FileName)) {}

TDesignedForm::TDesignedForm(TFormDocument Doc)
    : TForm(nullptr),
      FDocument(std::move(Doc)),
      FLibrary(LibraryOfFile(FDocument.FileName())),
      FClass(FDocument.Root().ClassName, &TForm::StaticClass()) {
    const TFormNode& root = FDocument.Root();
    try {
        SetName(root.Name);
    } catch (const Exception& e) {
        Refuse(FDocument, root, e.Message());
    }
    SetDesigning(true);
    AssignFitting(*this, root);
    if (PublishesHelpContext(FLibrary, root, true)) {
        FHelpBindings.emplace_back(this, &root);
        SetHelpContext(static_cast<THelpContext>(FDocument.HelpContext(root).value_or(0)));
    }
    FParts.push_back({this, &root, -1});
    FPartOfNode[&root] = 0;
    for (const TFormNode& child : root.Children) Build(child, this, this, 0);
}

bool TDesignedForm::WritesBack(const TComponent& C, std::string_view Prop) const {
    if (!SameText(Prop, "HelpContext")) return false;
    for (const auto& [component, node] : FHelpBindings)
        if (component == &C) return true;
    return false;
}

int32_t TDesignedForm::PartOf(const TFormNode& Node) const {
    auto it = FPartOfNode.find(&Node);
    return it == FPartOfNode.end() ? -1 : it->second;
}

void TDesignedForm::Build(const TFormNode& Node, TComponent* Owner, TComponent* Parent,
                          int32_t ParentPart) {
    const bool help = PublishesHelpContext(FLibrary, Node, false);
    const TClassInfo* host = GetClass(Node.ClassName);
    // The host's class stands in only where it agrees with the file's library about
    // HelpContext: a number must never be offered for (or written into) a class without one.
    if (host && (!host->CanCreate() || host->InheritsFrom(TForm::StaticClass()) ||
                 (GetPropInfo(*host, "HelpContext") != nullptr) != help))
        host = nullptr;
    TComponent* c;
    if (host) {
        c = host->Create(Owner);
    } else {
        const TFormNodeProperty* caption = FindProperty(Node, "Caption");
        bool hasCaption = caption && caption->Value.Type == TFormValueType::String;
        c = new TDesignedComponent(Owner, DesignedClass(Node.ClassName, help, hasCaption),
                                   hasCaption ? ToHostString(caption->Value.Str) : "");
    }
    c->SetLoading(true);
    c->SetReading(true);
    try {
        c->SetName(Node.Name);
    } catch (const Exception& e) {
        Refuse(FDocument, Node, e.Message());
    }
    if (host) {
        c->SetParentComponent(Parent);
        AssignFitting(*c, Node);
    }
    if (help) {
        FHelpBindings.emplace_back(c, &Node);
        SetOrdProp(c, "HelpContext", FDocument.HelpContext(Node).value_or(0));
    }
    c->SetReading(false);
    const auto part = static_cast<int32_t>(FParts.size());
    FParts.push_back({c, &Node, ParentPart});
    FPartOfNode[&Node] = part;
    TComponent* owner = Node.Kind == TFormObjectKind::Inline ? c : Owner;
    for (const TFormNode& child : Node.Children) Build(child, owner, c, part);
    c->Loaded();
}

void TDesignedForm::WriteBack() {
    for (const auto& [component, node] : FHelpBindings)
        FDocument.SetHelpContext(*node, static_cast<int32_t>(GetOrdProp(component, "HelpContext")));
}

std::string TDesignedForm::Save() {
    WriteBack();
    return FDocument.Save();
}

bool TDesignedForm::Modified() const {
    for (const auto& [component, node] : FHelpBindings)
        if (GetOrdProp(component, "HelpContext") != FDocument.HelpContext(*node).value_or(0))
            return true;
    return false;
}

}  // namespace zk::forms
