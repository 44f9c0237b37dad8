#include "zk/host/rtl/Streaming.h"

#include "zk/host/rtl/TypInfo.h"

namespace zk::rtl {

namespace {

// --- writing ---------------------------------------------------------------------------------

bool ValueOf(TComponent& c, const TPropInfo& p, TFormValue& v) {
    if (p.IsStored && !p.IsStored(c)) return false;
    switch (p.PropType->Kind) {
        case TTypeKind::tkInteger:
        case TTypeKind::tkEnumeration: {
            int64_t value = p.GetOrd(c);
            if (p.Default && *p.Default == value) return false;
            if (p.PropType->Kind == TTypeKind::tkEnumeration && value >= 0 &&
                value < static_cast<int64_t>(p.PropType->Names.size())) {
                v.Kind = TFormValue::vaIdent;
                v.Str = p.PropType->Names[static_cast<size_t>(value)];
            } else {
                v.Kind = TFormValue::vaInt;
                v.Int = value;
            }
            return true;
        }
        case TTypeKind::tkString:
            v.Kind = TFormValue::vaString;
            v.Str = p.GetStr(c);
            return !v.Str.empty() || p.IsStored;
        case TTypeKind::tkMethod: {
            TMethod m = p.GetMethod(c);
            // Only handlers bound to a published method have a name to store.
            if (!m.Assigned() || m.Name.empty()) return false;
            v.Kind = TFormValue::vaIdent;
            v.Str = m.Name;
            return true;
        }
        case TTypeKind::tkClass: {
            auto* ref = dynamic_cast<TComponent*>(p.GetObject(c));
            if (!ref || ref->Name().empty()) return false;
            v.Kind = TFormValue::vaIdent;
            v.Str = ref->Name();
            return true;
        }
        case TTypeKind::tkStrings:
            v.Kind = TFormValue::vaList;
            v.Items = p.GetList(c);
            return !v.Items.empty();
    }
    return false;
}

TFormObject WriteOne(TComponent* root, TComponent* c) {
    TFormObject obj;
    obj.Name = c->Name();
    obj.ClassName = c->ClassName();
    for (const TPropInfo* p : c->ClassType().AllProps()) {
        TFormValue v;
        if (p->GetOrd || p->GetStr || p->GetMethod || p->GetObject || p->GetList)
            if (ValueOf(*c, *p, v)) obj.Properties.push_back({p->Name, v, 0});
    }
    for (int32_t i = 0; i < root->ComponentCount(); ++i) {
        TComponent* child = root->Components(i);
        TComponent* parent = child->GetParentComponent();
        if (!parent || parent->Owner() != root) parent = root;
        if (parent == c) obj.Children.push_back(WriteOne(root, child));
    }
    return obj;
}

// --- reading ---------------------------------------------------------------------------------

// Checks everything about one property that can be known before anything is created.
void Validate(const TClassInfo& rootClass, const TClassInfo& cls, const TFormProperty& fp) {
    const TPropInfo* p = cls.FindProp(fp.Name);
    if (!p) throw EReadError("Unknown property " + fp.Name + " of class " + cls.Name(), fp.Line);
    if (!p->Writable()) throw EReadError("Property " + fp.Name + " is read-only", fp.Line);
    const TFormValue& v = fp.Value;
    auto bad = [&] { throw EReadError("Invalid value for property " + fp.Name, fp.Line); };
    switch (p->PropType->Kind) {
        case TTypeKind::tkInteger:
            if (v.Kind != TFormValue::vaInt) bad();
            if (v.Int < p->PropType->MinValue || v.Int > p->PropType->MaxValue)
                throw EReadError("Value " + std::to_string(v.Int) + " of property " + fp.Name +
                                     " is out of range",
                                 fp.Line);
            break;
        case TTypeKind::tkEnumeration: {
            if (v.Kind != TFormValue::vaIdent) bad();
            bool found = false;
            for (const std::string& n : p->PropType->Names)
                found = found || StrIComp(n.c_str(), v.Str.c_str()) == 0;
            if (!found) bad();
            break;
        }
        case TTypeKind::tkString:
            if (v.Kind != TFormValue::vaString) bad();
            break;
        case TTypeKind::tkMethod:
            if (v.Kind != TFormValue::vaIdent) bad();
            if (!rootClass.FindMethod(v.Str))
                throw EReadError("Unknown method " + v.Str + " for property " + fp.Name, fp.Line);
            break;
        case TTypeKind::tkClass:
            if (v.Kind != TFormValue::vaIdent) bad();
            break;
        case TTypeKind::tkStrings:
            if (v.Kind != TFormValue::vaList) bad();
            break;
    }
}

void ValidateTree(const TClassInfo& rootClass, const TClassInfo& cls, const TFormObject& obj) {
    for (const TFormProperty& fp : obj.Properties) Validate(rootClass, cls, fp);
    for (const TFormObject& child : obj.Children) {
        const TClassInfo* cc = GetClass(child.ClassName);
        if (!cc) throw EReadError("Class " + child.ClassName + " not found", child.Line);
        if (!cc->CanCreate())
            throw EReadError("Class " + child.ClassName + " cannot be created", child.Line);
        if (!IsValidIdent(child.Name))
            throw EReadError("'" + child.Name + "' is not a valid component name", child.Line);
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

    void Read(const TFormObject& tree) {
        FLoaded.push_back(FRoot);
        FRoot->SetLoading(true);
        try {
            FRoot->SetReading(true);
            if (!tree.Name.empty()) FRoot->SetName(tree.Name);
            Assign(FRoot, tree);
            FRoot->SetReading(false);
            for (const TFormObject& child : tree.Children) ReadChild(FRoot, child);
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
    void ReadChild(TComponent* parent, const TFormObject& obj) {
        TComponent* c = FindClass(obj.ClassName).Create(FRoot);
        FCreated.push_back(c);
        FLoaded.push_back(c);
        c->SetLoading(true);
        c->SetReading(true);
        try {
            c->SetName(obj.Name);
        } catch (const Exception& e) {
            throw EReadError(e.Message(), obj.Line);
        }
        if (const TPublishedField* f = FRoot->ClassType().FindField(obj.Name)) f->Assign(*FRoot, c);
        c->SetParentComponent(parent);
        Assign(c, obj);
        c->SetReading(false);
        for (const TFormObject& child : obj.Children) ReadChild(c, child);
    }

    void Assign(TComponent* c, const TFormObject& obj) {
        for (const TFormProperty& fp : obj.Properties) {
            const TPropInfo* p = c->ClassType().FindProp(fp.Name);
            try {
                AssignOne(c, *p, fp);
            } catch (const EReadError&) {
                throw;
            } catch (const Exception& e) {
                throw EReadError(fp.Name + ": " + e.Message(), fp.Line);
            }
        }
    }

    void AssignOne(TComponent* c, const TPropInfo& p, const TFormProperty& fp) {
        const TFormValue& v = fp.Value;
        switch (p.PropType->Kind) {
            case TTypeKind::tkInteger:
                p.SetOrd(*c, v.Int);
                break;
            case TTypeKind::tkEnumeration: {
                const auto& names = p.PropType->Names;
                for (size_t i = 0; i < names.size(); ++i)
                    if (StrIComp(names[i].c_str(), v.Str.c_str()) == 0)
                        p.SetOrd(*c, static_cast<int64_t>(i));
                break;
            }
            case TTypeKind::tkString:
                p.SetStr(*c, v.Str);
                break;
            case TTypeKind::tkMethod:
                p.SetMethod(*c, FRoot->ClassType().FindMethod(v.Str)->Bind(*FRoot));
                break;
            case TTypeKind::tkClass:
                FFixups.push_back({c, &p, v.Str, fp.Line});
                break;
            case TTypeKind::tkStrings:
                p.SetList(*c, v.Items);
                break;
        }
    }

    TComponent* FRoot;
    std::vector<TComponent*> FCreated;
    std::vector<TComponent*> FLoaded;
    std::vector<Fixup> FFixups;
};

}  // namespace

TFormObject WriteComponentTree(TComponent* Root) { return WriteOne(Root, Root); }

std::string WriteComponentText(TComponent* Root) { return PrintFormText(WriteComponentTree(Root)); }

void ReadComponentTree(const TFormObject& Tree, TComponent* Root, bool AnyRootClass) {
    if (!AnyRootClass && StrIComp(Tree.ClassName.c_str(), Root->ClassName().c_str()) != 0)
        throw EReadError("Class " + Tree.ClassName + " does not match " + Root->ClassName(),
                         Tree.Line);
    ValidateTree(Root->ClassType(), Root->ClassType(), Tree);
    TReader(Root).Read(Tree);
}

void ReadComponentText(const std::string& Text, TComponent* Root, bool AnyRootClass) {
    ReadComponentTree(ParseFormText(Text), Root, AnyRootClass);
}

TComponent* ReadComponentFromText(const std::string& Text, TComponent* Owner) {
    TFormObject tree = ParseFormText(Text);
    const TClassInfo* cls = GetClass(tree.ClassName);
    if (!cls) throw EReadError("Class " + tree.ClassName + " not found", tree.Line);
    if (!cls->CanCreate())
        throw EReadError("Class " + tree.ClassName + " cannot be created", tree.Line);
    ValidateTree(*cls, *cls, tree);
    TOwned<TComponent> root(cls->Create(Owner));
    TReader(root.get()).Read(tree);
    return root.release();
}

}  // namespace zk::rtl
