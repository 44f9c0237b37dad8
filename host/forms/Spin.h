// TSpinEdit: an edit for an integer between two bounds.
#pragma once

#include <cstdint>

#include "zk/host/forms/StdCtrls.h"

namespace zk::forms {

// The number lives in the text, as a person types it. Value reads the text as an integer
// (MinValue when it is not one) and clamps it into the bounds; setting Value writes the clamped
// number as text. Bounds clamp only when MinValue < MaxValue: equal (or crossed) bounds leave
// every value as it is.
class TSpinEdit : public TCustomEdit {
    ZK_CLASS(TSpinEdit)
  public:
    // Text "0", bounds 0 and 0, increment 1.
    explicit TSpinEdit(TComponent* AOwner);
    std::unique_ptr<TWSPeer> CreatePeer(TUiBackend& Ui) override;

    int32_t MinValue() const { return FMinValue; }
    void SetMinValue(int32_t Value) { FMinValue = Value; }
    int32_t MaxValue() const { return FMaxValue; }
    void SetMaxValue(int32_t Value) { FMaxValue = Value; }
    int32_t Increment() const { return FIncrement; }
    void SetIncrement(int32_t Value) { FIncrement = Value; }

    int32_t Value() const;
    void SetValue(int32_t Value);

  private:
    int32_t CheckValue(int32_t Value) const;

    int32_t FMinValue = 0;
    int32_t FMaxValue = 0;
    int32_t FIncrement = 1;
};

}  // namespace zk::forms
