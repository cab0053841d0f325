// The built-in English message catalogue that every installer carries.
//
// The installer replaces "<product>", "<description>" and "<os>" in every text.
// Texts used as formats take these arguments, in order:
//   7   chosen sentence (3..6), product name, installed version, new version, folder
//   12  master product's display name
//   13  internal error code (%d)
//   19  space needed, space free
//   40  path of the installation log
//   57  font name           59  shared file path
//   60  minimum system version   61  system name
//   81  bitness, 64 or 32 (%d)   96  drive letter (%c)
//   99, 107  application name    106  lowest version that may be replaced
//   112 master product's display name, required version
#include "builder/english_messages.h"

#include <utility>

namespace palisade::tools {

namespace {

const std::pair<int, const char*> kTexts[] = {
    {0, "<product> Setup"},
    {1, "Welcome to the installation of <product>.\n\n"
        "This program installs <description> on your computer. Close all other programs before you go on.\n\n"
        "Click Next to continue, or Cancel to leave Setup."},
    {2, "<product> Is Already Installed"},
    {3, "<product> is already installed on this computer."},
    {4, "This version of <product> is already installed on this computer."},
    {5, "An older version of <product> is installed on this computer. Setup will upgrade it."},
    {6, "A newer version of <product> is installed on this computer. Setup will replace it with an older one."},
    {7, "%s\n\nProduct: %s\nInstalled version: %s\nVersion to install: %s\nFolder: %s\n\nDo you want to continue?"},
    {8, "Preparing the installation..."},
    {9, "An earlier version of <product> must be removed before this version can be installed.\n\n"
        "Click Uninstall to remove it now. Setup starts again when the removal has finished."},
    {10, "Some items could not be removed:"},
    {11, "Setup will install <product> in the folder below. To choose another folder, type its path or click "
         "Browse."},
    {12, "<product> needs %s, which is not installed on this computer. Install it first, then run Setup again."},
    {13, "This installation program is corrupt.  This is usually caused by a faulty download, but it can also be "
         "caused by a virus on your computer.  The installation cannot proceed.\n\n"
         "Delete the corrupted installer (to prevent caching), then re-download it.  If the problem persists, check "
         "your system for viruses.\n\nError code: %d"},
    {14, "Please enter the folder in which to install <product>."},
    {15, "Removal Complete"},
    {16, "This is a system folder. Please choose another folder."},
    {17, "The folder name is not valid. Please choose another folder."},
    {18, "Programs cannot be installed directly in this folder. Please choose a sub-folder."},
    {19, "There may not be enough free space on the drive.\n\nSpace needed: %s\nSpace free: %s\n\n"
         "Do you want to install anyway?"},
    {20, "<product> Setup"},
    {21, "Error"},
    {22, "The folder already exists. Do you want to install <product> in it?"},
    {23, "The folder does not exist yet. Do you want to create it?"},
    {24, "Installation Folder"},
    {25, "Could not create the folder"},
    {27, "Password:"},
    {28, "Do you really want to cancel the installation?"},
    {30, "Setup cannot install on a drive of this kind. Please choose a folder on a local drive."},
    {31, "Could not install"},
    {34, "<product> has been removed from your computer."},
    {35, "Remove Shared File?"},
    {37, "Your computer must be restarted to finish the installation of <product>.\n\n"
         "Do you want to restart now?"},
    {39, "Please wait while <product> is being installed."},
    {40, "The installation finished, but some items could not be installed. The installation log lists them:\n"
         "%s\n\nDo you want to view the log now?"},
    {41, "Installation Incomplete"},
    {42, "<product> has been installed on your computer."},
    {43, "Installation Complete"},
    {44, "License Agreement"},
    {45, "I &Agree"},
    {46, "I &Decline"},
    {47, "Please read the license agreement below. You must accept it to install <product>."},
    {48, "&Next >"},
    {49, "Cancel"},
    {50, "Read Me"},
    {51, "Please read the information below before you go on."},
    {52, "&Browse..."},
    {53, "Do you want to remove <product> and all of its components from your computer?"},
    {54, "Installing <product>"},
    {55, "Removing <product>"},
    {56, "Remove Font?"},
    {57, "The font %s was installed with <product>. Other programs may use it.\n\nDo you want to remove it?"},
    {58, "Could not remove"},
    {59, "The shared file %s is no longer used by any program that Windows knows of. Other programs may still "
         "need it.\n\nDo you want to remove it?"},
    {60, "<product> needs %s or later."},
    {61, "<product> cannot be installed on %s."},
    {62, "Checking the installation data..."},
    {65, "<product> Setup"},
    {66, "The folder path is too long. Please choose a shorter one."},
    {71, "Please wait while <product> is removed from your computer."},
    {72, "A different version of <product> is installed on this computer. Do you want to continue?"},
    {73, "The folder could not be created. Please choose another folder."},
    {74, "Your computer must be restarted to finish removing <product>.\n\nDo you want to restart now?"},
    {75, "Password"},
    {76, "This installation is protected by a password. Please enter it to go on."},
    {77, "Registering <file>..."},
    {78, "Writing registry entries..."},
    {79, "&Yes"},
    {80, "&No"},
    {81, "<product> needs a %d-bit version of Windows."},
    {82, "Please choose the language of the installation."},
    {83, "Open the documentation"},
    {84, "Start <product> now"},
    {85, "View the installation log"},
    {86, "Remove <product> from your computer"},
    {87, "Visit the web site of <product>"},
    {88, "Choose the Start menu folder for the shortcuts of <product>."},
    {89, "Start Menu Folder"},
    {90, "&Install"},
    {91, "Another installation is running. Please wait until it has finished, then start Setup again."},
    {92, "Space needed:"},
    {93, "Space free:"},
    {94, "Language"},
    {95, "&Finish"},
    {96, "Drive %c: is not present. Please choose another folder."},
    {98, "The installation was cancelled. <product> has not been installed completely."},
    {99, "%s is running. Please close it, then click Retry."},
    {101, "The removal was cancelled. <product> has not been removed completely."},
    {102, "The password is not correct. Please try again."},
    {103, "Welcome"},
    {104, "&Uninstall"},
    {105, "Visit the <a>web site of <product></a> for more information."},
    {106, "This version of <product> cannot replace the installed one: versions older than %s may not be "
          "installed over it."},
    {107, "%s is running. Please close it, then click Retry."},
    {109, "Before you remove <product>: our support team may be able to solve the problem that you have with it."},
    {110, "Get Support"},
    {111, "Cancelled"},
    {112, "<product> needs %s version %s or later."},
    {114, ""},
    {115, "Yes to &All"},
};

}  // namespace

const std::vector<std::string>& EnglishMessages() {
    static const std::vector<std::string> messages = [] {
        std::vector<std::string> list(kEnglishMessageCount);
        for (const auto& [number, text] : kTexts) list[number] = text;
        return list;
    }();
    return messages;
}

const std::vector<int>& MessageNumbersInUse() {
    // 114 is in use too, but empty on purpose: a non-empty 114 replaces the
    // author's page text and the banner's product name.
    static const std::vector<int> numbers = [] {
        std::vector<int> list;
        for (const auto& [number, text] : kTexts) {
            if (number != 114) list.push_back(number);
        }
        return list;
    }();
    return numbers;
}

}  // namespace palisade::tools
