// Page variants and template names.
#include "ui/page_variant.h"

namespace palisade {
namespace {

const char* FamilyBaseName(PageFamily family) {
    switch (family) {
        case PageFamily::Greeting: return "GreetingDlg";
        case PageFamily::Language: return "LanguageDlg";
        case PageFamily::Licence: return "LicenseDlg";
        case PageFamily::Readme: return "ReadmeDlg";
        case PageFamily::Folder: return "ChooseDirDlg";
        case PageFamily::StartMenu: return "StartMenuDlg";
        case PageFamily::Summary: return "SummaryDlg";
        case PageFamily::Progress: return "ProgressDlg";
    }
    return "";
}

}  // namespace

PageVariant VariantFromSetting(std::int32_t value) {
    switch (value) {
        case 0: return PageVariant::Plain;
        case 1: return PageVariant::SidePicture;
        case 3: return PageVariant::FullSidePicture;
        default: return PageVariant::Banner;
    }
}

std::optional<std::string> PageTemplateName(PageFamily family, PageVariant variant) {
    std::string name = FamilyBaseName(family);
    switch (variant) {
        case PageVariant::Plain:
            if (family == PageFamily::Greeting) return std::nullopt;
            return name + "2";
        case PageVariant::SidePicture: return name;
        case PageVariant::Banner: return name + "3";
        case PageVariant::FullSidePicture: return name + "4";
    }
    return std::nullopt;
}

}  // namespace palisade
