// The installation action that adds file associations: extension and ProgID keys, verbs, icons, Open With.
#include "actions/win32/file_associations_win32.h"

#include <windows.h>
#include <shlobj.h>

#include "actions/association_plan.h"
#include "core/format.h"
#include "core/text.h"
#include "core/win32/guarded_call.h"
#include "core/win32/registry.h"
#include "payload/settings_flags.h"
#include "payload/settings_stream.h"

namespace palisade {
namespace {

// One association with its texts decoded and expanded.
struct Association {
    std::uint32_t mode = 1;
    std::u16string extension;
    std::u16string progId;   // as written, "!" included
    std::u16string keyName;  // the identifier's key under the classes root
    std::u16string description;
    std::u16string icon;
    std::u16string command;
    std::u16string verbLabel;
};

class AssociationStep {
public:
    explicit AssociationStep(InstallContext& context)
        : m_context(context), m_backupName(BackupValueName(context.settings.displayName)) {}

    void Install(const FileAssociation& stored);

private:
    Association Decode(const FileAssociation& stored) const;
    // Sets a key's default value, first saving a different earlier text under the backup name.
    Win32Status SetDefault(HKEY key, const std::u16string& text) const;
    void AddOpenWith(HKEY extensionKey, const Association& association, const std::u16string& command);
    bool WriteProgId(HKEY progIdKey, const Association& association, const std::u16string& verb, std::size_t index);
    void InstallVerb(const Association& association, const std::u16string& verb, std::size_t index);

    InstallContext& m_context;
    std::u16string m_backupName;
};

Association AssociationStep::Decode(const FileAssociation& stored) const {
    Association a;
    a.mode = stored.mode;
    a.extension = DecodeNarrowText(stored.extension);
    a.progId = DecodeNarrowText(stored.progId);
    a.keyName = ProgIdKeyName(a.progId);
    a.description = stored.description;
    std::u16string icon = DecodeNarrowText(stored.icon);
    a.icon = AssociationIconPath(icon.empty() ? icon : m_context.Expand(icon), m_context.state.installFolder);
    a.command = m_context.Expand(stored.command);
    a.verbLabel = stored.verbLabel;
    return a;
}

// The key below `parent`, created when missing; empty when it cannot be had.
UniqueHkey SubKey(HKEY parent, std::u16string_view name) {
    Win32Result<CreatedKey> key = CreateKey(parent, name);
    return key.ok() ? std::move(key->key) : UniqueHkey();
}

Win32Status AssociationStep::SetDefault(HKEY key, const std::u16string& text) const {
    Win32Result<std::u16string> earlier = ReadRegistryText(key, u"");
    // A backup that is there already holds the other program's text: the
    // current one is this product's own (from an earlier installation or an
    // earlier verb) and must not take its place.
    bool backedUp = ReadRegistryText(key, m_backupName).ok();
    if (earlier.ok() && !earlier->empty() && *earlier != text && !backedUp) {
        // Without the backup the uninstaller leaves the product's text in place: not worth stopping for.
        (void)SetRegistryText(key, m_backupName, *earlier);
    }
    return SetRegistryText(key, u"", text);
}

void AssociationStep::AddOpenWith(HKEY extensionKey, const Association& association, const std::u16string& command) {
    UniqueHkey openWith = SubKey(extensionKey, u"OpenWithProgids");
    if (!openWith || SetRegistryValue(openWith.get(), association.keyName, REG_NONE, {}).failed()) return;
    m_context.log.runLog.AppendWidePieces({association.extension, u" Open With ", command, u"\r\n"});
}

// True when the command was written: the association is done.
bool AssociationStep::WriteProgId(HKEY progIdKey, const Association& association, const std::u16string& verb,
                                  std::size_t index) {
    // The description, icon and label only decorate the association; the
    // command decides whether it works.
    (void)SetDefault(progIdKey, association.description);
    if (!association.icon.empty()) {
        if (UniqueHkey icon = SubKey(progIdKey, u"DefaultIcon")) (void)SetDefault(icon.get(), association.icon);
    }
    UniqueHkey shell = SubKey(progIdKey, u"shell");
    if (!shell) return false;
    // The first verb of the list is the one a double click runs.
    if (association.mode == 1 && index == 0) (void)SetDefault(shell.get(), verb);
    UniqueHkey verbKey = SubKey(shell.get(), verb);
    if (!verbKey) return false;
    // Without a label the shell shows the verb's own name.
    std::u16string label = TextForVerb(association.verbLabel, index);
    if (!label.empty()) (void)SetRegistryText(verbKey.get(), u"", label);
    UniqueHkey command = SubKey(verbKey.get(), u"command");
    return command && SetDefault(command.get(), TextForVerb(association.command, index)).ok();
}

void AssociationStep::InstallVerb(const Association& association, const std::u16string& verb, std::size_t index) {
    RunLog& log = m_context.log.runLog;
    UniqueHkey extensionKey = SubKey(HKEY_CLASSES_ROOT, association.extension);
    bool setsDefault = SetsExtensionDefault(association.progId);
    if (!extensionKey && !setsDefault) {
        log.AppendWide(Format(u"Association failed/key inaccessible:  \"%s\".\r\n\r\n", {association.extension}));
        return;
    }
    bool hasProgId = !association.keyName.empty();
    if (extensionKey && hasProgId && (association.mode == 2 || EqualsIgnoreCase(verb, u"open"))) {
        AddOpenWith(extensionKey.get(), association, TextForVerb(association.command, index));
    }
    if (extensionKey && setsDefault && association.mode != 2) {
        // A failure shows in the command's key below, which the shell needs too.
        (void)SetDefault(extensionKey.get(), association.progId);
    }

    bool done = false;
    bool progIdReached = false;
    if (hasProgId) {
        UniqueHkey progIdKey = SubKey(HKEY_CLASSES_ROOT, association.keyName);
        progIdReached = bool(progIdKey);
        if (progIdReached) done = WriteProgId(progIdKey.get(), association, verb, index);
    }
    m_context.record.associations += AssociationRecordLine(association.extension, association.progId, verb,
                                                           association.icon);
    if (!done) {
        m_context.log.failures.Append(Format(u"Failed to associate file type:  \"%s\".\r\n", {association.extension}));
    } else {
        log.AppendWide(Format(u"Associated %s with %s (verb=%s)\r\n",
                              {association.extension, TextForVerb(association.command, index), verb}));
    }
    if (!progIdReached && association.progId.empty()) {
        log.AppendWide(Format(u"Association failed/no label:  \"%s\".\r\n\r\n", {association.extension}));
    }
}

void AssociationStep::Install(const FileAssociation& stored) {
    Association association = Decode(stored);
    if (association.extension.empty()) return;  // would name the classes root itself
    std::vector<std::u16string> verbs = AssociationVerbs(DecodeNarrowText(stored.verbs));
    for (std::size_t index = 0; index < verbs.size(); ++index) InstallVerb(association, verbs[index], index);
}

}  // namespace

void InstallAssociations(InstallContext& context) {
    if (context.settings.fileAssociations.empty()) return;
    if (context.state.portable && context.Payload(PayloadFlags::kPortableNoAssociations)) return;
    GuardedResult guarded = RunGuarded([&context] {
        AssociationStep step(context);
        for (const FileAssociation& association : context.settings.fileAssociations) step.Install(association);
        ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    });
    if (guarded.faulted) context.log.failures.Append(u"Crashed while installing associations.\r\n");
}

}  // namespace palisade
