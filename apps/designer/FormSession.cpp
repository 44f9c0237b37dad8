#include "apps/designer/FormSession.h"

#include "host/platform/FileReplace.h"
#include "host/platform/LargeHeap.h"

namespace designer {

using namespace zk::rtl;

namespace {

TComponent* FindDeep(TComponent* Owner, const std::string& Name) {
    if (TComponent* c = Owner->FindComponent(Name)) return c;
    for (int32_t i = 0; i < Owner->ComponentCount(); ++i)
        if (TComponent* c = FindDeep(Owner->Components(i), Name)) return c;
    return nullptr;
}

}  // namespace

TFormSession::TFormSession(const std::string& Path)
    : FFileName(Path),
      FDocument(TFormDocument::Read(zk::platform::ReadWholeFile(Path), Path)),
      FStored(FDocument.Save()) {
    // The document and the components take about forty times the file's size.
    zk::platform::PrepareHeapFor(FStored.size() * 40);
    FForm = std::make_unique<zk::forms::TDesignedForm>(FStored, Path);
    FDesigner = std::make_unique<zk::ide::TFormDesigner>(FForm.get());
    FInspector = std::make_unique<zk::ide::TObjectInspector>(FDesigner.get());
}

TComponent* TFormSession::ComponentOf(const TFormNode& Node) {
    if (&Node == &FDocument.Root()) return FForm.get();
    if (Node.Name.empty()) return nullptr;
    return FindDeep(FForm.get(), Node.Name);
}

bool TFormSession::Modified() { return FForm->Save() != FStored; }

void TFormSession::SaveAs(const std::string& Path) {
    std::string bytes = FForm->Save();
    zk::platform::ReplaceFile(Path, bytes);
    FStored = std::move(bytes);
    FFileName = Path;
}

}  // namespace designer
