// What the form benchmarks share: a large text form as the IDE writes it.
#pragma once

#include <string>

namespace zkbench {

// A form as the IDE writes it: components in panels, some already numbered, handlers.
inline std::string BigForm(int Components) {
    std::string s = "object BigForm: TBigForm\r\n  Caption = 'Big'\r\n  ClientHeight = 480\r\n";
    for (int i = 0; i < Components; ++i) {
        std::string n = std::to_string(i);
        if (i % 100 == 0) {
            if (i) s += "  end\r\n";
            s += "  object Panel" + n + ": TPanel\r\n    Left = 0\r\n";
        }
        s += "    object Edit" + n + ": TEdit\r\n      Top = " + n + "\r\n      Text = 'Edit " + n +
             "'\r\n";
        if (i % 3 == 0) s += "      HelpContext = " + n + "\r\n";
        s += "    end\r\n";
    }
    s += "  end\r\nend\r\n";
    return s;
}

}  // namespace zkbench
