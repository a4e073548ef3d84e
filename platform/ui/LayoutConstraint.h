#pragma once

#include "platform/ui/WeakRef.h"

namespace Platform {

class View;

// A layout relation between attributes of two views, kept so that screens can switch and adjust
// the relations of their interface files. Nothing solves them: a screen that needs a relation
// applied lays its views out itself.
class LayoutConstraint {
public:
    enum class Attribute : int { NotAnAttribute = 0, Left = 1, Right = 2, Top = 3, Bottom = 4, Leading = 5,
                                 Trailing = 6, Width = 7, Height = 8, CenterX = 9, CenterY = 10 };
    enum class Relation : int { LessThanOrEqual = -1, Equal = 0, GreaterThanOrEqual = 1 };

    static std::shared_ptr<LayoutConstraint> constraintWithItem(View* first, Attribute firstAttribute, Relation relation,
                                                                View* second, Attribute secondAttribute,
                                                                double multiplier, double constant);

    View* firstItem() const { return first_.get(); }
    View* secondItem() const { return second_.get(); }
    Attribute firstAttribute() const { return firstAttribute_; }
    Attribute secondAttribute() const { return secondAttribute_; }
    Relation relation() const { return relation_; }
    double multiplier() const { return multiplier_; }
    double constant() const { return constant_; }
    void setConstant(double constant) { constant_ = constant; }
    bool isActive() const { return active_; }
    void setActive(bool active) { active_ = active; }
    float priority() const { return priority_; }
    void setPriority(float priority) { priority_ = priority; }

private:
    WeakRef<View> first_;
    WeakRef<View> second_;
    Attribute firstAttribute_ = Attribute::NotAnAttribute;
    Attribute secondAttribute_ = Attribute::NotAnAttribute;
    Relation relation_ = Relation::Equal;
    double multiplier_ = 1;
    double constant_ = 0;
    bool active_ = false;
    float priority_ = 1000;
};

} // namespace Platform
