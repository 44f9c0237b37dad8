#include "apps/designer/FormSession.h"

#include <climits>
#include <filesystem>
#include <iostream>
#include <set>

#include "zk/formfile/Audit.h"
#include "zk/formfile/HelpContextClasses.h"
#include "zk/host/platform/FileReplace.h"
#include "zk/host/platform/LargeHeap.h"
#include "zk/host/rtl/TypInfo.h"

namespace designer {

using namespace zk::rtl;
using namespace zk::formfile;

TFormSession::TFormSession(const std::string& Path) : FFileName(Path) {
    TFormDocument document = TFormDocument::Read(zk::platform::ReadWholeFile(Path), Path);
    if (std::string warning = zk::formfile::TrailingFormWarning(document); !warning.empty())
        std::cerr << "designer: " << warning << "\n";
    FStored = document.Save();
    // The document and the components take about forty times the file's size.
    zk::platform::PrepareHeapFor(FStored.size() * 40);
    FForm = std::make_unique<zk::forms::TDesignedForm>(std::move(document));
    FDesigner = std::make_unique<zk::ide::TFormDesigner>(FForm.get());
    FInspector = std::make_unique<zk::ide::TObjectInspector>(FDesigner.get());
    // Numbers go to named components only: an unnamed one cannot be told apart in a report.
    for (const THelpTarget& t : HelpContextTargets(LibraryOfFile(Path), Document().Root()))
        if (TComponent* c = ComponentOf(*t.Node); c && !t.Node->Name.empty())
            FHelpTargets.push_back(c);
}

TComponent* TFormSession::ComponentOf(const TFormNode& Node) {
    int32_t part = FForm->PartOf(Node);
    return part < 0 ? nullptr : FForm->Parts()[static_cast<size_t>(part)].Component;
}

bool TFormSession::Modified() { return FForm->Save() != FStored; }

void TFormSession::SaveAs(const std::string& Path) {
    std::string bytes = FForm->Save();
    zk::platform::ReplaceFile(Path, bytes);
    FStored = std::move(bytes);
    FFileName = Path;
    FUndo.clear();
}

std::vector<std::pair<TComponent*, int32_t>> TFormSession::HelpContexts() {
    std::vector<std::pair<TComponent*, int32_t>> out;
    for (TComponent* c : FHelpTargets)
        if (const TPropInfo* p = GetPropInfo(c, "HelpContext"))
            out.emplace_back(c, static_cast<int32_t>(GetOrdProp(c, p)));
    return out;
}

int64_t TFormSession::HighestNumber() {
    int64_t highest = 0;
    for (const auto& [c, n] : HelpContexts()) highest = std::max<int64_t>(highest, n);
    return highest;
}

int32_t TFormSession::NumberUnset(int64_t Start, int64_t Step) {
    std::vector<std::pair<TComponent*, int32_t>> targets = HelpContexts();
    std::set<int64_t> used;
    for (const auto& [c, n] : targets) used.insert(n);
    std::vector<std::pair<TComponent*, int32_t>> undo;
    int64_t next = Start;
    for (const auto& [c, n] : targets) {
        if (n != 0) continue;
        while (next == 0 || used.count(next)) next += Step;
        if (next < INT32_MIN || next > INT32_MAX) break;
        SetOrdProp(c, GetPropInfo(c, "HelpContext"), next);
        undo.emplace_back(c, 0);
        used.insert(next);
        next += Step;
    }
    auto given = static_cast<int32_t>(undo.size());
    if (given) FUndo = std::move(undo);
    return given;
}

void TFormSession::UndoNumbering() {
    for (const auto& [c, n] : FUndo) SetOrdProp(c, GetPropInfo(c, "HelpContext"), n);
    FUndo.clear();
}

std::string TFormSession::ReportHtml(std::vector<std::string>& Skipped) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path self = fs::weakly_canonical(FFileName, ec);
    std::vector<zk::formfile::TProjectForm> forms;
    std::vector<std::string> paths{FFileName};
    try {
        paths = zk::formfile::FindFormFiles({fs::path(FFileName).parent_path().empty()
                                                 ? std::string(".")
                                                 : fs::path(FFileName).parent_path().string()});
    } catch (const zk::formfile::TFailure& f) {
        Skipped.push_back(f.Message);
    }
    for (const std::string& p : paths) {
        try {
            bool open = fs::weakly_canonical(p, ec) == self;
            forms.push_back(
                zk::formfile::ReadForm(p, open ? FForm->Save() : zk::platform::ReadWholeFile(p)));
        } catch (const zk::formfile::TFailure& f) {
            Skipped.push_back(f.Message);
        } catch (const zk::platform::EFileError& e) {
            Skipped.push_back(e.what());
        }
    }
    return zk::formfile::ReportHtml(forms, std::nullopt);
}

}  // namespace designer
