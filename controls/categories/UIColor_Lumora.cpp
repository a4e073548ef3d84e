#include "controls/categories/UIColor_Lumora.h"

namespace {

constexpr Platform::Color rgb(float r, float g, float b)
{
    return Platform::Color(static_cast<double>(r), static_cast<double>(g), static_cast<double>(b), 1.0);
}

} // namespace

Platform::Color UIColor_Lumora::lumoraRedColor() { return rgb(1.0f, 0.22f, 0.22f); }
Platform::Color UIColor_Lumora::lumoraOrangeColor() { return rgb(1.0f, 0.58f, 0.21f); }
Platform::Color UIColor_Lumora::lumoraYellowColor() { return rgb(1.0f, 0.79f, 0.28f); }
Platform::Color UIColor_Lumora::lumoraGreenColor() { return rgb(0.27f, 0.85f, 0.46f); }
Platform::Color UIColor_Lumora::lumoraLightBlueColor() { return rgb(0.28f, 0.77f, 1.0f); }
Platform::Color UIColor_Lumora::lumoraBlueColor() { return rgb(0.0f, 0.55f, 1.0f); }
Platform::Color UIColor_Lumora::lumoraDarkBlueColor() { return rgb(0.0f, 0.49f, 0.96f); }
Platform::Color UIColor_Lumora::lumoraPurpleColor() { return rgb(0.35f, 0.35f, 0.81f); }
Platform::Color UIColor_Lumora::lumoraPinkColor() { return rgb(1.0f, 0.17f, 0.34f); }
Platform::Color UIColor_Lumora::lumoraLightBlackColor() { return rgb(0.10f, 0.10f, 0.10f); }
Platform::Color UIColor_Lumora::lumoraUltraDarkGrayColor() { return rgb(0.23f, 0.23f, 0.23f); }
Platform::Color UIColor_Lumora::lumoraDarkGrayColor() { return rgb(0.56f, 0.56f, 0.58f); }
Platform::Color UIColor_Lumora::lumoraLightGrayColor() { return rgb(0.78f, 0.78f, 0.80f); }
Platform::Color UIColor_Lumora::lumoraUltraLightGrayColor() { return rgb(0.95f, 0.95f, 0.95f); }
Platform::Color UIColor_Lumora::lumoraDarkWhiteColor() { return rgb(0.98f, 0.98f, 0.98f); }
Platform::Color UIColor_Lumora::lumoraUltraLightBrownColor() { return rgb(1.0f, 0.95f, 0.90f); }
Platform::Color UIColor_Lumora::lumoraLightBrownColor() { return rgb(0.98f, 0.80f, 0.70f); }
Platform::Color UIColor_Lumora::lumoraBrownColor() { return rgb(0.90f, 0.70f, 0.55f); }
Platform::Color UIColor_Lumora::lumoraDarkBrownColor() { return rgb(0.80f, 0.60f, 0.35f); }
