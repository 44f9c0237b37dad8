// The project commands that read and judge: check (for CI) and report.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "zk/formfile/Plan.h"
#include "zk/formfile/Project.h"

namespace zk::formfile {

// Prints one "FILE:LINE: message" line per problem, sorted by file and line; 0 when there is
// none, else 1. A form that cannot be read is one problem, the reader's message; the others are
// checked all the same. With a plan, a number it declares shared is no problem when only the
// components it names carry it.
int Check(const std::vector<std::string>& Project, const std::string& PlanFile);

struct TReportOptions {
    bool Json = false;
    std::string HtmlFile;  // write one HTML page here instead
    std::string Plan;      // mark the numbers outside each form's block
};

// Counts per form and in total, as text, one JSON document or one HTML page; the forms that
// cannot be read are listed too, and make the status 1 (else 0).
int Report(const std::vector<std::string>& Project, const TReportOptions& Options);

// The HTML page of the report on Forms: a table per form, the components without a number,
// repeated or (with a plan) outside their block marked. Self-contained.
std::string ReportHtml(const std::vector<TProjectForm>& Forms, const std::optional<TPlan>& Plan);

// S with &, <, > and " escaped for HTML.
std::string Html(const std::string& S);

}  // namespace zk::formfile
