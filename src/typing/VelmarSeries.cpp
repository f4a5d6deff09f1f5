#include "typing/VelmarSeries.h"

#include "typing/VelmarMeter.h"

TVelmarSeries::TVelmarSeries(TVelmarMeter* owner)
    : FOwner(owner)
    , FBlockOrangeColor(owner->BlockOrangeColor())
    , FBlockRedColor(owner->BlockRedColor())
    , FBlockBlueColor(owner->BlockBlueColor())
    , FMaxBlock(owner->MaxBlockCount())
    , FBlockHeight(owner->BlockHeight()) {}

int TVelmarSeries::Index() const {
    return FOwner->Serieses().IndexOf(this);
}

double TVelmarSeries::Total() const {
    return FRedValue + FOrangeValue + FBlueValue + FBlockList.Total();
}

void TVelmarSeries::ResetValues() {
    FRedValue = FBlueValue = FOrangeValue = 0.0;
    FBlockList.ResetValues();
}

void TVelmarSeries::SetIsFocus(bool value) {
    FIsFocus = value;
    if (!FOwner->Active())
        FOwner->Paint();
}
