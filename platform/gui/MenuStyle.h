#pragma once
// The program's style: the desktop's own, except that the pointer and the
// arrow keys may rest on a greyed menu command. Only then does its status
// tip, which says why the command is greyed, reach the status bar.

#include <QProxyStyle>

namespace pcn::gui {

class MenuStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

}  // namespace pcn::gui
