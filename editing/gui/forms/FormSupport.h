#pragma once
// Small helpers the editor forms share.

#include <QString>

namespace pcn::gui {

// Gives a control the name tests and style sheets find it by.
template <typename W>
W* namedWidget(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace pcn::gui
