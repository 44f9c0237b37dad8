#include "apps/designer/LayoutJson.h"

#include <nlohmann/json.hpp>

#include "zk/host/forms/FormLayout.h"

namespace designer {

std::string LayoutJson(const zk::forms::TDesignedForm& Form) {
    using Json = nlohmann::ordered_json;
    const zk::forms::TFormLayout layout(Form);
    Json parts = Json::array();
    for (size_t i = 0; i < layout.Parts().size(); ++i) {
        const zk::forms::TLaidPart& l = layout.Parts()[i];
        const zk::formfile::TFormNode& n = *Form.Parts()[i].Node;
        Json bounds;  // null: inside a non-visual component, not on the surface
        if (l.Visual || l.Shown)
            bounds = {{"left", l.Bounds.Left},
                      {"top", l.Bounds.Top},
                      {"width", l.Bounds.Width()},
                      {"height", l.Bounds.Height()}};
        parts.push_back({{"index", i},
                         {"name", n.Name},
                         {"class", n.ClassName},
                         {"parent", l.Parent < 0 ? Json() : Json(l.Parent)},
                         {"visual", l.Visual},
                         {"visible", l.Visible},
                         {"page", l.Page < 0 ? Json() : Json(l.Page)},
                         {"bounds", bounds}});
    }
    // One component a line, so that scripts and people can read it with line tools too.
    std::string out = "{\n  \"clientWidth\": " + std::to_string(layout.ClientWidth()) +
                      ",\n  \"clientHeight\": " + std::to_string(layout.ClientHeight()) +
                      ",\n  \"components\": [";
    for (size_t i = 0; i < parts.size(); ++i)
        out += (i ? ",\n    " : "\n    ") +
               parts[i].dump(-1, ' ', false, Json::error_handler_t::replace);
    return out + "\n  ]\n}\n";
}

}  // namespace designer
