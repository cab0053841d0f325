// The numbers of the catalogue messages the program shows, by what each one
// says. The builder's English catalogue (tools/builder/english_messages.cpp)
// holds the texts and the arguments of those used as formats.
#pragma once

namespace palisade {

struct Msg {
    static constexpr int kSetupTitle = 0;
    static constexpr int kGreeting = 1;
    static constexpr int kAlreadyInstalledCaption = 2;
    static constexpr int kAlreadyInstalled = 3;            // the four sentences 3..6 of the existing-installation question
    static constexpr int kSameVersionInstalled = 4;
    static constexpr int kOlderVersionInstalled = 5;
    static constexpr int kNewerVersionInstalled = 6;
    static constexpr int kExistingInstallQuestion = 7;     // sentence, product, installed, new version, folder
    static constexpr int kPreparing = 8;
    static constexpr int kMustUninstallFirst = 9;
    static constexpr int kRemovalFailures = 10;             // before the uninstaller's failure list
    static constexpr int kFolderPageText = 11;
    static constexpr int kMasterProductMissing = 12;       // master product's name
    static constexpr int kCorruptInstaller = 13;           // internal error code
    static constexpr int kFolderEmpty = 14;
    static constexpr int kRemovalCompleteCaption = 15;
    static constexpr int kSystemFolderRefused = 16;
    static constexpr int kFolderNameInvalid = 17;
    static constexpr int kFolderNeedsSubfolder = 18;
    static constexpr int kLowDiskSpace = 19;               // space needed, space free
    static constexpr int kSetupCaption = 20;
    static constexpr int kErrorCaption = 21;
    static constexpr int kFolderExists = 22;
    static constexpr int kFolderWillBeCreated = 23;
    static constexpr int kFolderPageCaption = 24;
    static constexpr int kFolderNotCreated = 25;
    static constexpr int kPasswordLabel = 27;
    static constexpr int kCancelQuestion = 28;
    static constexpr int kDriveKindRefused = 30;
    static constexpr int kCouldNotInstall = 31;            // heading of a failure entry
    static constexpr int kRemovedText = 34;
    static constexpr int kSharedFileCaption = 35;
    static constexpr int kRestartToFinishInstall = 37;
    static constexpr int kPleaseWaitInstalling = 39;
    static constexpr int kViewLogQuestion = 40;            // log path
    static constexpr int kInstallIncompleteCaption = 41;
    static constexpr int kInstalledText = 42;
    static constexpr int kInstallCompleteCaption = 43;
    static constexpr int kLicenceCaption = 44;
    static constexpr int kAgreeButton = 45;
    static constexpr int kDeclineButton = 46;
    static constexpr int kLicenceText = 47;
    static constexpr int kNextButton = 48;
    static constexpr int kCancelButton = 49;
    static constexpr int kReadmeCaption = 50;
    static constexpr int kReadmeText = 51;
    static constexpr int kBrowseButton = 52;
    static constexpr int kConfirmRemoval = 53;
    static constexpr int kInstallingCaption = 54;
    static constexpr int kRemovingCaption = 55;
    static constexpr int kFontCaption = 56;
    static constexpr int kRemoveFontQuestion = 57;         // font name
    static constexpr int kCouldNotRemove = 58;
    static constexpr int kRemoveSharedFileQuestion = 59;   // shared file path
    static constexpr int kSystemTooOld = 60;               // minimum system version
    static constexpr int kSystemExcluded = 61;             // system name
    static constexpr int kCheckingData = 62;
    static constexpr int kLicencePrefix = 63;
    static constexpr int kReadmePrefix = 64;
    static constexpr int kGreetingCaption = 65;
    static constexpr int kFolderPathTooLong = 66;
    static constexpr int kPleaseWaitRemoving = 71;
    static constexpr int kDifferentVersionQuestion = 72;
    static constexpr int kFolderCannotBeCreated = 73;
    static constexpr int kRestartToFinishRemoval = 74;
    static constexpr int kPasswordCaption = 75;
    static constexpr int kPasswordText = 76;
    static constexpr int kRegisteringFile = 77;            // "<file>" is replaced
    static constexpr int kWritingRegistry = 78;
    static constexpr int kYesButton = 79;
    static constexpr int kNoButton = 80;
    static constexpr int kWrongBitness = 81;               // 64 or 32
    static constexpr int kLanguageText = 82;
    static constexpr int kOpenDocumentAction = 83;
    static constexpr int kRunProgramAction = 84;
    static constexpr int kViewLogAction = 85;
    static constexpr int kUninstallAction = 86;
    static constexpr int kVisitWebSiteAction = 87;
    static constexpr int kStartMenuText = 88;
    static constexpr int kStartMenuCaption = 89;
    static constexpr int kInstallButton = 90;
    static constexpr int kAnotherInstallRunning = 91;
    static constexpr int kSpaceNeededLabel = 92;
    static constexpr int kSpaceFreeLabel = 93;
    static constexpr int kLanguageCaption = 94;
    static constexpr int kFinishButton = 95;
    static constexpr int kDriveMissing = 96;               // drive letter
    static constexpr int kInstallCancelled = 98;
    static constexpr int kCloseApplication = 99;           // application name
    static constexpr int kRemovalCancelled = 101;
    static constexpr int kWrongPassword = 102;
    static constexpr int kWelcomeCaption = 103;
    static constexpr int kUninstallButton = 104;
    static constexpr int kSupportLink = 105;
    static constexpr int kDowngradeForbidden = 106;        // lowest version that may be replaced
    static constexpr int kCloseApplicationAtRemoval = 107; // application name
    static constexpr int kSupportOfferText = 109;
    static constexpr int kGetSupportButton = 110;
    static constexpr int kCancelledCaption = 111;
    static constexpr int kMasterProductTooOld = 112;       // master product's name, required version
    static constexpr int kPageTextOverride = 114;
    static constexpr int kYesToAllButton = 115;
};

}  // namespace palisade
