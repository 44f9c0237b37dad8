#include "zk/host/forms/Spin.h"

#include "zk/host/forms/Widgets.h"

using namespace zk::rtl;

namespace zk::forms {

const TClassInfo& TSpinEdit::StaticClass() {
    static const TClassInfo info = [] {
        TClassBuilder<TSpinEdit> b("TSpinEdit", &TCustomEdit::StaticClass());
        b.Int("Increment", &TSpinEdit::Increment, &TSpinEdit::SetIncrement, 1);
        b.Int("MaxValue", &TSpinEdit::MaxValue, &TSpinEdit::SetMaxValue, 0);
        b.Int("MinValue", &TSpinEdit::MinValue, &TSpinEdit::SetMinValue, 0);
        b.Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly, false);
        // Always stored, as the number is what the form file is about.
        b.Int("Value", &TSpinEdit::Value, &TSpinEdit::SetValue, std::nullopt);
        b.Event("OnChange", &TCustomEdit::OnChange, &TCustomEdit::SetOnChange);
        return b.Build();
    }();
    return info;
}

TSpinEdit::TSpinEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
    SetBounds(0, 0, 121, 22);
    SetText("0");
}

std::unique_ptr<TWSPeer> TSpinEdit::CreatePeer(TUiBackend& Ui) {
    return Ui.ComCtrls().CreateSpinEdit(*this);
}

int32_t TSpinEdit::CheckValue(int32_t Value) const {
    if (FMinValue < FMaxValue) {
        if (Value < FMinValue) return FMinValue;
        if (Value > FMaxValue) return FMaxValue;
    }
    return Value;
}

int32_t TSpinEdit::Value() const {
    int32_t value;
    try {
        value = StrToInt(Text());
    } catch (const EConvertError&) {
        value = FMinValue;
    }
    return CheckValue(value);
}

void TSpinEdit::SetValue(int32_t Value) { SetText(IntToStr(CheckValue(Value))); }

}  // namespace zk::forms
