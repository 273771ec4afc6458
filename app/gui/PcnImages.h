#pragma once
// The program's small images: one strip of 16-pixel images shared by the
// package list, the property tree, the export list and the missing-file list,
// drawn here so that they scale and need no binary resources.
//
//  0 cabinet              1 (list state)        2 folder            3 file list
//  4 file list (open)     5 information         6 prompt / message  7 action / missing source
//  8 signature            9 information page   10 wizard           11 version
// 12 comment             13 copyright          14 GUID scan        15 compression
// 16 company             17 product            18 needs rebuild    19 wizard package
// 20 component           21 web package        22 (spare)          23 file found

#include <QIcon>
#include <QPixmap>

namespace pcn::gui {

inline constexpr int kImageSize = 16;
inline constexpr int kImageCount = 24;

// Image numbers used by name.
enum PcnImage : int {
    kImageCabinet = 0,
    kImageFolder = 2,
    kImageFiles = 3,
    kImageFilesOpen = 4,
    kImageGeneral = 5,
    kImagePrompt = 6,
    kImageAction = 7,
    kImageSignature = 8,
    kImageInformation = 9,
    kImageWizardFile = 10,
    kImageVersion = 11,
    kImageComment = 12,
    kImageCopyright = 13,
    kImageGuid = 14,
    kImageCompression = 15,
    kImageCompany = 16,
    kImageProduct = 17,
    kImageRebuild = 18,
    kImageWizardPackage = 19,
    kImageComponent = 20,
    kImageWebPackage = 21,
    kImageFileFound = 23,
};

// All images side by side, kImageSize pixels each, transparent background.
const QPixmap& imageStrip();
// One image of the strip (an empty icon for a number outside it).
QIcon pcnImage(int index);

// Icons of the toolbar buttons and menu items, by command name; drawn to
// match the strip when the desktop theme has none.
QIcon commandIcon(const char* name);

}  // namespace pcn::gui
