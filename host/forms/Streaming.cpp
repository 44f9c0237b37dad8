#include "zk/host/forms/Streaming.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "zk/formfile/FormTextReader.h"
#include "zk/formfile/FormTextWriter.h"
#include "zk/host/rtl/TypInfo.h"

namespace zk::forms {

using namespace zk::rtl;
using formfile::TFormNode;
using formfile::TFormNodeProperty;
using formfile::TFormNodeValue;
using formfile::TFormValueType;

namespace {

// --- writing ---------------------------------------------------------------------------------

// Component strings are 8-bit: each byte one character code.
TFormNodeValue StringValue(const std::string& S) {
    TFormNodeValue v;
    v.Type = TFormValueType::String;
    v.Str.reserve(S.size());
    for (char c : S) v.Str.push_back(static_cast<unsigned char>(c));
    return v;
}

TFormNodeValue IdentValue(const std::string& Name) {
    TFormNodeValue v;
    v.Type = TFormValueType::Ident;
    v.Text = Name;
    return v;
}

TFormNodeValue IntValue(int64_t Int) {
    TFormNodeValue v;
    v.Int = Int;
    return v;
}

std::optional<TFormNodeValue> ValueOf(TComponent& c, const TPropInfo& p) {
    if (p.IsStored && !p.IsStored(c)) return std::nullopt;
    switch (p.PropType->Kind) {
        case TTypeKind::tkInteger:
        case TTypeKind::tkEnumeration: {
            int64_t value = p.GetOrd(c);
            if (p.Default && *p.Default == value) return std::nullopt;
            if (p.PropType->Kind == TTypeKind::tkEnumeration && value >= 0 &&
                value < static_cast<int64_t>(p.PropType->Names.size()))
                return IdentValue(p.PropType->Names[static_cast<size_t>(value)]);
            return IntValue(value);
        }
        case TTypeKind::tkString: {
            std::string s = p.GetStr(c);
            if (s.empty() && !p.IsStored) return std::nullopt;
            return StringValue(s);
        }
        case TTypeKind::tkMethod: {
            TMethod m = p.GetMethod(c);
            // Only handlers bound to a published method have a name to store.
            if (!m.Assigned() || m.Name.empty()) return std::nullopt;
            return IdentValue(m.Name);
        }
        case TTypeKind::tkClass: {
            auto* ref = dynamic_cast<TComponent*>(p.GetObject(c));
            if (!ref || ref->Name().empty()) return std::nullopt;
            return IdentValue(ref->Name());
        }
        case TTypeKind::tkStrings: {
            std::vector<std::string> items = p.GetList(c);
            if (items.empty()) return std::nullopt;
            TFormNodeValue v;
            v.Type = TFormValueType::List;
            for (const std::string& item : items) v.Items.push_back(StringValue(item));
            return v;
        }
    }
    return std::nullopt;
}

// The root's owned components under the component each sits on (the root, when that is not
// one of the root's), in the owner's order.
using TChildren = std::unordered_map<TComponent*, std::vector<TComponent*>>;

TChildren ChildrenOf(TComponent* root) {
    TChildren children;
    for (int32_t i = 0; i < root->ComponentCount(); ++i) {
        TComponent* child = root->Components(i);
        TComponent* parent = child->GetParentComponent();
        if (!parent || parent->Owner() != root) parent = root;
        children[parent].push_back(child);
    }
    return children;
}

TFormNode WriteOne(const TChildren& children, TComponent* c) {
    TFormNode node;
    node.Name = c->Name();
    node.ClassName = c->ClassName();
    for (const TPropInfo* p : c->ClassType().AllProps()) {
        if (!p->GetOrd && !p->GetStr && !p->GetMethod && !p->GetObject && !p->GetList) continue;
        if (std::optional<TFormNodeValue> v = ValueOf(*c, *p)) {
            TFormNodeProperty prop;
            prop.Name = p->Name;
            prop.Value = std::move(*v);
            node.Properties.push_back(std::move(prop));
        }
    }
    if (auto it = children.find(c); it != children.end())
        for (TComponent* child : it->second) node.Children.push_back(WriteOne(children, child));
    return node;
}

// --- reading ---------------------------------------------------------------------------------

// A string whose character codes all fit a byte, as component strings hold them.
bool IsByteString(const TFormNodeValue& v) {
    return v.Type == TFormValueType::String &&
           std::all_of(v.Str.begin(), v.Str.end(), [](char16_t u) { return u <= 255; });
}

// The bytes of a string IsByteString takes.
std::string BytesOf(const TFormNodeValue& v) { return std::string(v.Str.begin(), v.Str.end()); }

// The name a value gives (an identifier, or the words True, False and nil); nothing for
// another value.
std::optional<std::string> NameOf(const TFormNodeValue& v) {
    switch (v.Type) {
        case TFormValueType::Ident:
            return v.Text;
        case TFormValueType::True:
            return "True";
        case TFormValueType::False:
            return "False";
        case TFormValueType::Nil:
            return "nil";
        default:
            return std::nullopt;
    }
}

bool IsStringList(const TFormNodeValue& v) {
    return v.Type == TFormValueType::List &&
           std::all_of(v.Items.begin(), v.Items.end(), IsByteString);
}

// Checks everything about one property that can be known before anything is created.
void Validate(const TClassInfo& rootClass, const TClassInfo& cls, const TFormNodeProperty& fp) {
    const int line = fp.Span.Line;
    const TPropInfo* p = cls.FindProp(fp.Name);
    if (!p) throw EReadError("Unknown property " + fp.Name + " of class " + cls.Name(), line);
    if (!p->Writable()) throw EReadError("Property " + fp.Name + " is read-only", line);
    const TFormNodeValue& v = fp.Value;
    auto bad = [&] { throw EReadError("Invalid value for property " + fp.Name, line); };
    switch (p->PropType->Kind) {
        case TTypeKind::tkInteger:
            if (v.Type != TFormValueType::Integer) bad();
            if (v.Int < p->PropType->MinValue || v.Int > p->PropType->MaxValue)
                throw EReadError("Value " + std::to_string(v.Int) + " of property " + fp.Name +
                                     " is out of range",
                                 line);
            break;
        case TTypeKind::tkEnumeration: {
            std::optional<std::string> name = NameOf(v);
            if (!name) bad();
            bool found = false;
            for (const std::string& n : p->PropType->Names)
                found = found || StrIComp(n.c_str(), name->c_str()) == 0;
            if (!found) bad();
            break;
        }
        case TTypeKind::tkString:
            if (!IsByteString(v)) bad();
            break;
        case TTypeKind::tkMethod: {
            std::optional<std::string> name = NameOf(v);
            if (!name) bad();
            if (!rootClass.FindMethod(*name))
                throw EReadError("Unknown method " + *name + " for property " + fp.Name, line);
            break;
        }
        case TTypeKind::tkClass:
            if (!NameOf(v)) bad();
            break;
        case TTypeKind::tkStrings:
            if (!IsStringList(v)) bad();
            break;
    }
}

void ValidateTree(const TClassInfo& rootClass, const TClassInfo& cls, const TFormNode& obj) {
    for (const TFormNodeProperty& fp : obj.Properties) Validate(rootClass, cls, fp);
    for (const TFormNode& child : obj.Children) {
        const int line = child.Span.Line;
        const TClassInfo* cc = GetClass(child.ClassName);
        if (!cc) throw EReadError("Class " + child.ClassName + " not found", line);
        if (!cc->CanCreate())
            throw EReadError("Class " + child.ClassName + " cannot be created", line);
        if (!IsValidIdent(child.Name))
            throw EReadError("'" + child.Name + "' is not a valid component name", line);
        ValidateTree(rootClass, *cc, child);
    }
}

struct Fixup {
    TComponent* Target;
    const TPropInfo* Prop;
    std::string RefName;
    int Line;
};

class TReader {
  public:
    explicit TReader(TComponent* root) : FRoot(root) {}

    void Read(const TFormNode& tree) {
        FLoaded.push_back(FRoot);
        FRoot->SetLoading(true);
        try {
            FRoot->SetReading(true);
            if (!tree.Name.empty()) FRoot->SetName(tree.Name);
            Assign(FRoot, tree);
            FRoot->SetReading(false);
            for (const TFormNode& child : tree.Children) ReadChild(FRoot, child);
            for (const Fixup& f : FFixups) {
                TComponent* ref = StrIComp(FRoot->Name().c_str(), f.RefName.c_str()) == 0
                                      ? FRoot
                                      : FRoot->FindComponent(f.RefName);
                if (!ref) throw EReadError("Unknown component " + f.RefName, f.Line);
                f.Prop->SetObject(*f.Target, ref);
            }
        } catch (...) {
            FRoot->SetReading(false);
            FRoot->SetLoading(false);
            for (auto it = FCreated.rbegin(); it != FCreated.rend(); ++it) TObject::Free(*it);
            throw;
        }
        for (TComponent* c : FLoaded) c->Loaded();
    }

  private:
    void ReadChild(TComponent* parent, const TFormNode& obj) {
        TComponent* c = FindClass(obj.ClassName).Create(FRoot);
        FCreated.push_back(c);
        FLoaded.push_back(c);
        c->SetLoading(true);
        c->SetReading(true);
        try {
            c->SetName(obj.Name);
        } catch (const Exception& e) {
            throw EReadError(e.Message(), obj.Span.Line);
        }
        if (const TPublishedField* f = FRoot->ClassType().FindField(obj.Name)) f->Assign(*FRoot, c);
        c->SetParentComponent(parent);
        Assign(c, obj);
        c->SetReading(false);
        for (const TFormNode& child : obj.Children) ReadChild(c, child);
    }

    void Assign(TComponent* c, const TFormNode& obj) {
        for (const TFormNodeProperty& fp : obj.Properties) {
            const TPropInfo* p = c->ClassType().FindProp(fp.Name);
            try {
                AssignOne(c, *p, fp);
            } catch (const EReadError&) {
                throw;
            } catch (const Exception& e) {
                throw EReadError(fp.Name + ": " + e.Message(), fp.Span.Line);
            }
        }
    }

    void AssignOne(TComponent* c, const TPropInfo& p, const TFormNodeProperty& fp) {
        const TFormNodeValue& v = fp.Value;
        switch (p.PropType->Kind) {
            case TTypeKind::tkInteger:
                p.SetOrd(*c, v.Int);
                break;
            case TTypeKind::tkEnumeration: {
                const auto& names = p.PropType->Names;
                const std::string name = *NameOf(v);
                for (size_t i = 0; i < names.size(); ++i)
                    if (StrIComp(names[i].c_str(), name.c_str()) == 0)
                        p.SetOrd(*c, static_cast<int64_t>(i));
                break;
            }
            case TTypeKind::tkString:
                p.SetStr(*c, BytesOf(v));
                break;
            case TTypeKind::tkMethod:
                p.SetMethod(*c, FRoot->ClassType().FindMethod(*NameOf(v))->Bind(*FRoot));
                break;
            case TTypeKind::tkClass:
                FFixups.push_back({c, &p, *NameOf(v), fp.Span.Line});
                break;
            case TTypeKind::tkStrings: {
                std::vector<std::string> items;
                for (const TFormNodeValue& item : v.Items) items.push_back(BytesOf(item));
                p.SetList(*c, items);
                break;
            }
        }
    }

    TComponent* FRoot;
    std::vector<TComponent*> FCreated;
    std::vector<TComponent*> FLoaded;
    std::vector<Fixup> FFixups;
};

// The form in Text; its syntax faults and any text after its 'end' as EReadError.
TFormNode ReadTree(const std::string& Text) {
    formfile::TFormTextRead read;
    try {
        read = formfile::ReadFormText(Text, "");
    } catch (const formfile::EFormFileError& e) {
        // The reader's message starts with the place, which EReadError words its own way.
        const std::string place =
            ":" + std::to_string(e.Line()) + ":" + std::to_string(e.Column()) + ": ";
        const std::string& msg = e.Message();
        throw EReadError(msg.starts_with(place) ? msg.substr(place.size()) : msg, e.Line());
    }
    if (read.TrailingAt != 0) {
        const auto before = Text.begin() + static_cast<std::ptrdiff_t>(read.TrailingAt);
        throw EReadError("text after the final 'end'",
                         1 + static_cast<int>(std::count(Text.begin(), before, '\n')));
    }
    return std::move(read.Root);
}

// The library's writer gives the character DEL as #127; component text has always kept it
// inside the quotes, joined with the quoted parts beside it.
std::string KeepDelQuoted(std::string Text) {
    if (Text.find("#127") == std::string::npos) return Text;
    std::string out;
    out.reserve(Text.size());
    bool quoted = false;
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '\'') quoted = !quoted;
        if (quoted || Text.compare(i, 4, "#127") != 0) {
            out += Text[i];
            continue;
        }
        if (!out.empty() && out.back() == '\'')
            out.pop_back();
        else
            out += '\'';
        out += '\x7f';
        i += 3;
        if (i + 1 < Text.size() && Text[i + 1] == '\'') {
            ++i;  // the next part's opening quote: the text goes on inside this one
            quoted = true;
        } else {
            out += '\'';
        }
    }
    return out;
}

}  // namespace

TFormNode WriteComponentTree(TComponent* Root) { return WriteOne(ChildrenOf(Root), Root); }

std::string WriteComponentText(TComponent* Root) {
    return KeepDelQuoted(formfile::PrintFormTree(WriteComponentTree(Root), "\n"));
}

void ReadComponentTree(const TFormNode& Tree, TComponent* Root, bool AnyRootClass) {
    if (!AnyRootClass && StrIComp(Tree.ClassName.c_str(), Root->ClassName().c_str()) != 0)
        throw EReadError("Class " + Tree.ClassName + " does not match " + Root->ClassName(),
                         Tree.Span.Line);
    ValidateTree(Root->ClassType(), Root->ClassType(), Tree);
    TReader(Root).Read(Tree);
}

void ReadComponentText(const std::string& Text, TComponent* Root, bool AnyRootClass) {
    ReadComponentTree(ReadTree(Text), Root, AnyRootClass);
}

TComponent* ReadComponentFromText(const std::string& Text, TComponent* Owner) {
    TFormNode tree = ReadTree(Text);
    const TClassInfo* cls = GetClass(tree.ClassName);
    if (!cls) throw EReadError("Class " + tree.ClassName + " not found", tree.Span.Line);
    if (!cls->CanCreate())
        throw EReadError("Class " + tree.ClassName + " cannot be created", tree.Span.Line);
    ValidateTree(*cls, *cls, tree);
    TOwned<TComponent> root(cls->Create(Owner));
    TReader(root.get()).Read(tree);
    return root.release();
}

}  // namespace zk::forms
