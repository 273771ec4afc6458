#pragma once
// The picture beside every wizard page: a package box on a blue band.

#include <QPixmap>

namespace pcn::gui {

QPixmap WizardPicture();

}  // namespace pcn::gui
