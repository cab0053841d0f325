// The wizard's setup from the installer settings.
#include "ui/wizard_setup.h"

namespace palisade {

WizardSetup InstallerWizardSetup(InstallerSettings& settings, std::u16string os, bool silent, bool automatic) {
    WizardSetup setup;
    setup.background = BackgroundSettingsFrom(settings);
    setup.settingsFlags1 = settings.settingsFlags1;
    setup.settingsFlags2 = settings.settingsFlags2;
    setup.installerOptions = settings.installerOptions;
    setup.variants.greeting = VariantFromSetting(settings.greetingPageVariant);
    setup.variants.language = VariantFromSetting(settings.languagePageVariant);
    setup.variants.licence = VariantFromSetting(settings.licencePageVariant);
    setup.variants.readme = VariantFromSetting(settings.readmePageVariant);
    setup.variants.folder = VariantFromSetting(settings.folderPageVariant);
    setup.variants.startMenu = VariantFromSetting(settings.startMenuPageVariant);
    setup.variants.summary = VariantFromSetting(settings.summaryPageVariant);
    setup.variants.progress = VariantFromSetting(settings.progressPageVariant);
    setup.progressPosition = settings.progressPosition;
    setup.greetingLinkAddress = settings.greetingLinkAddress;
    setup.linkNotifyAddress = settings.linkNotifyAddress;
    setup.product = settings.displayName;
    setup.description = settings.productDescription;
    setup.os = std::move(os);
    setup.silent = silent;
    setup.automatic = automatic;
    setup.catalogue = &settings.messageCatalogue;
    return setup;
}

}  // namespace palisade
