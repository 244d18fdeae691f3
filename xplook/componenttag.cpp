#include "componenttag.h"

#include <QObject>
#include <QVariant>

namespace XP {

namespace {
const char* const kTagProperty = "Tag";
}

int tagOf(const QObject* component)
{
    return component ? component->property(kTagProperty).toInt() : 0;
}

void setTag(QObject* component, int tag)
{
    component->setProperty(kTagProperty, tag);
}

} // namespace XP
