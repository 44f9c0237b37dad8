// A form as the designer holds it: read from a user's form file whose form class this program
// does not have ("object Form1: TForm1"). It is a TForm that answers the file's class name,
// with the form and every component on it marked csDesigning.
#pragma once

#include <string>

#include "host/forms/Forms.h"
#include "host/rtl/FormText.h"

namespace zk::forms {

using namespace zk::rtl;

class TDesignedForm : public TForm {
  public:
    // Reads Text whatever class its top object names. Handlers named in the text are left
    // unbound: a form being designed runs none of its handlers. Raises EReadError for a text
    // that the form library cannot read.
    explicit TDesignedForm(const std::string& Text);

    // Class information of the file's class, derived from TForm's.
    const TClassInfo& ClassType() const override { return FClass; }

  private:
    explicit TDesignedForm(TFormObject Tree);

    TClassInfo FClass;
};

}  // namespace zk::forms
