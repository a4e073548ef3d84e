#pragma once

#include "platform/graphics/Color.h"

// The interface's fixed palette. The components are single-precision constants widened to the
// colour's doubles, so 0.22 is the float nearest to 0.22; alpha is always 1.
class UIColor_Lumora {
public:
    static Platform::Color lumoraRedColor();
    static Platform::Color lumoraOrangeColor();
    static Platform::Color lumoraYellowColor();
    static Platform::Color lumoraGreenColor();
    static Platform::Color lumoraLightBlueColor();
    static Platform::Color lumoraBlueColor();
    static Platform::Color lumoraDarkBlueColor();
    static Platform::Color lumoraPurpleColor();
    static Platform::Color lumoraPinkColor();
    static Platform::Color lumoraLightBlackColor();
    static Platform::Color lumoraUltraDarkGrayColor();
    static Platform::Color lumoraDarkGrayColor();
    static Platform::Color lumoraLightGrayColor();
    static Platform::Color lumoraUltraLightGrayColor();
    static Platform::Color lumoraDarkWhiteColor();
    static Platform::Color lumoraUltraLightBrownColor();
    static Platform::Color lumoraLightBrownColor();
    static Platform::Color lumoraBrownColor();
    static Platform::Color lumoraDarkBrownColor();
};
