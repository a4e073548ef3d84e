#include "platform/ui/LayoutConstraint.h"

#include "platform/ui/View.h"

namespace Platform {

std::shared_ptr<LayoutConstraint> LayoutConstraint::constraintWithItem(View* first, Attribute firstAttribute,
                                                                       Relation relation, View* second,
                                                                       Attribute secondAttribute, double multiplier,
                                                                       double constant)
{
    auto c = std::make_shared<LayoutConstraint>();
    c->first_.reset(first);
    c->second_.reset(second);
    c->firstAttribute_ = firstAttribute;
    c->secondAttribute_ = secondAttribute;
    c->relation_ = relation;
    c->multiplier_ = multiplier;
    c->constant_ = constant;
    return c;
}

} // namespace Platform
