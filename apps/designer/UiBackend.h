// The one place that picks the back end the form library's windows (the Help Expert window,
// the not-running dialog, message boxes) use while the designer's window runs.
#pragma once

#include <memory>

namespace designer {

// Keeps the installed back end in use for its lifetime.
class TInstalledUi {
  public:
    virtual ~TInstalledUi() = default;
};

// Installs the back end for the window session; the previous one returns when the result goes.
std::unique_ptr<TInstalledUi> InstallUiBackend();

}  // namespace designer
