// The resource tree of a PE32 image, read and written without the system's resource updater.
#include "builder/pe_resources.h"

#include <algorithm>
#include <map>

#include "builder/pe_sections.h"
#include "payload/little_endian.h"
#include "payload/pe_appender.h"
#include "payload/pe_layout.h"
#include "uninstall/icon_resources.h"

namespace palisade::tools {

namespace {

constexpr std::uint32_t kSubdirectoryBit = 0x80000000u;
constexpr std::size_t kDirectoryHeader = 16;
constexpr std::size_t kDirectoryEntry = 8;
constexpr std::size_t kDataEntry = 16;
// More leaves than any program carries: a tree whose entries share
// sub-directories cannot make the reader list without end.
constexpr std::size_t kMaxResources = 65536;

struct DirectoryEntry {
    ResourceId id;
    std::uint32_t target = 0;  // offset in the tree, with kSubdirectoryBit for a sub-directory
};

// Reads the tree that starts at `tree[0]`; offsets inside it are relative to its start.
class TreeReader {
public:
    TreeReader(ByteView image, const PeSections& sections, ByteView tree)
        : m_image(image), m_sections(sections), m_tree(tree) {}

    std::string ReadAll(std::vector<Resource>& out) {
        std::vector<DirectoryEntry> types, names, languages;
        if (!ReadDirectory(0, types)) return "the resource directory is damaged";
        for (const DirectoryEntry& type : types) {
            if (!(type.target & kSubdirectoryBit) || !ReadDirectory(type.target & ~kSubdirectoryBit, names)) {
                return "a resource type directory is damaged";
            }
            for (const DirectoryEntry& name : names) {
                if (!(name.target & kSubdirectoryBit) || !ReadDirectory(name.target & ~kSubdirectoryBit, languages)) {
                    return "a resource name directory is damaged";
                }
                for (const DirectoryEntry& language : languages) {
                    if (out.size() >= kMaxResources) return "the resource tree has too many entries";
                    Resource resource{type.id, name.id, language.id.id, 0, {}};
                    if (language.target & kSubdirectoryBit || !ReadData(language.target, resource)) {
                        return "a resource's data lies outside the image";
                    }
                    out.push_back(std::move(resource));
                }
            }
        }
        return {};
    }

private:
    bool ReadName(std::uint32_t offset, std::u16string& name) const {
        if (std::uint64_t(offset) + 2 > m_tree.size) return false;
        std::size_t length = LoadU16(m_tree.data + offset);
        if (length == 0 || offset + 2 + 2 * std::uint64_t(length) > m_tree.size) return false;
        name.clear();
        for (std::size_t i = 0; i < length; ++i) name += char16_t(LoadU16(m_tree.data + offset + 2 + 2 * i));
        return true;
    }

    bool ReadDirectory(std::uint32_t offset, std::vector<DirectoryEntry>& entries) const {
        entries.clear();
        if (std::uint64_t(offset) + kDirectoryHeader > m_tree.size) return false;
        std::size_t count = std::size_t(LoadU16(m_tree.data + offset + 12)) + LoadU16(m_tree.data + offset + 14);
        if (offset + kDirectoryHeader + count * kDirectoryEntry > m_tree.size) return false;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* entry = m_tree.data + offset + kDirectoryHeader + i * kDirectoryEntry;
            DirectoryEntry read;
            std::uint32_t name = LoadU32(entry);
            if (name & kSubdirectoryBit) {
                if (!ReadName(name & ~kSubdirectoryBit, read.id.name)) return false;
            } else {
                read.id.id = std::uint16_t(name);
            }
            read.target = LoadU32(entry + 4);
            entries.push_back(std::move(read));
        }
        return true;
    }

    bool ReadData(std::uint32_t offset, Resource& resource) const {
        if (std::uint64_t(offset) + kDataEntry > m_tree.size) return false;
        const std::uint8_t* entry = m_tree.data + offset;
        std::uint32_t rva = LoadU32(entry), size = LoadU32(entry + 4);
        resource.codePage = LoadU32(entry + 8);
        std::optional<std::size_t> at = RvaToFileOffset(m_sections, rva, size);
        if (!at || *at + std::uint64_t(size) > m_image.size) return false;
        resource.data.assign(m_image.data + *at, m_image.data + *at + size);
        return true;
    }

    ByteView m_image;
    const PeSections& m_sections;
    ByteView m_tree;
};

// Named entries first, by their upper-cased names, then numbers in ascending order.
std::u16string Upper(const std::u16string& text) {
    std::u16string out = text;
    for (char16_t& c : out) {
        if (c >= u'a' && c <= u'z') c = char16_t(c - u'a' + u'A');
    }
    return out;
}

bool IdLess(const ResourceId& a, const ResourceId& b) {
    if (a.IsNamed() != b.IsNamed()) return a.IsNamed();
    if (a.IsNamed()) return Upper(a.name) < Upper(b.name);
    return a.id < b.id;
}

bool SameId(const ResourceId& a, const ResourceId& b) { return !IdLess(a, b) && !IdLess(b, a); }

bool ResourceLess(const Resource* a, const Resource* b) {
    if (!SameId(a->type, b->type)) return IdLess(a->type, b->type);
    if (!SameId(a->name, b->name)) return IdLess(a->name, b->name);
    return a->language < b->language;
}

// A directory of the tree being written: its entries' ids and children.
struct Node {
    ResourceId id;
    std::vector<Node> children;        // types hold names, names hold languages
    const Resource* leaf = nullptr;    // languages
    std::uint32_t offset = 0;          // of its directory (types, names) or data entry (languages)
};

std::vector<Node> BuildTree(const std::vector<Resource>& resources) {
    std::vector<const Resource*> sorted;
    for (const Resource& resource : resources) sorted.push_back(&resource);
    std::stable_sort(sorted.begin(), sorted.end(), ResourceLess);
    std::vector<Node> types;
    for (const Resource* resource : sorted) {
        if (types.empty() || !SameId(types.back().id, resource->type)) types.push_back({resource->type, {}, nullptr, 0});
        std::vector<Node>& names = types.back().children;
        if (names.empty() || !SameId(names.back().id, resource->name)) names.push_back({resource->name, {}, nullptr, 0});
        ResourceId language;
        language.id = resource->language;
        names.back().children.push_back({language, {}, resource, 0});
    }
    return types;
}

std::size_t DirectorySize(std::size_t entries) { return kDirectoryHeader + entries * kDirectoryEntry; }

void WriteDirectory(std::vector<std::uint8_t>& out, std::uint32_t at, const std::vector<Node>& children, bool leaves,
                    const std::map<std::u16string, std::uint32_t>& nameOffsets) {
    std::uint16_t named = std::uint16_t(std::count_if(children.begin(), children.end(),
                                                      [](const Node& node) { return node.id.IsNamed(); }));
    StoreU16(&out[at + 12], named);
    StoreU16(&out[at + 14], std::uint16_t(children.size() - named));
    for (std::size_t i = 0; i < children.size(); ++i) {
        std::uint8_t* entry = &out[at + kDirectoryHeader + i * kDirectoryEntry];
        const Node& child = children[i];
        StoreU32(entry, child.id.IsNamed() ? nameOffsets.at(child.id.name) | kSubdirectoryBit : child.id.id);
        StoreU32(entry + 4, leaves ? child.offset : child.offset | kSubdirectoryBit);
    }
}

std::uint32_t Align(std::size_t value, std::size_t alignment) {
    return std::uint32_t((value + alignment - 1) / alignment * alignment);
}

}  // namespace

ResourceRead ReadResources(ByteView image) {
    ResourceRead read;
    std::optional<PeSections> sections = ReadPeSections(image);
    if (!sections) {
        read.error = "not a PE32 image";
        return read;
    }
    if (sections->resourceDirectorySize == 0) return read;
    std::optional<std::size_t> root = RvaToFileOffset(*sections, sections->resourceDirectoryRva, 0);
    const PeSection* holder = SectionHolding(*sections, sections->resourceDirectoryRva);
    if (!root || !holder) {
        read.error = "the resource directory lies outside the image";
        return read;
    }
    std::size_t treeEnd = std::min<std::size_t>(image.size, std::size_t(holder->rawPosition) + holder->rawSize);
    TreeReader reader(image, *sections, image.Sub(*root, treeEnd - std::min(treeEnd, *root)));
    read.error = reader.ReadAll(read.resources);
    return read;
}

std::vector<std::uint8_t> WriteResourceSection(const std::vector<Resource>& resources, std::uint32_t sectionRva) {
    std::vector<Node> types = BuildTree(resources);
    // Directories, breadth first: the root, every type's, every name's.
    std::uint32_t next = std::uint32_t(DirectorySize(types.size()));
    for (Node& type : types) {
        type.offset = next;
        next += std::uint32_t(DirectorySize(type.children.size()));
    }
    for (Node& type : types) {
        for (Node& name : type.children) {
            name.offset = next;
            next += std::uint32_t(DirectorySize(name.children.size()));
        }
    }
    std::map<std::u16string, std::uint32_t> nameOffsets;
    auto placeName = [&](const ResourceId& id) {
        if (!id.IsNamed() || nameOffsets.count(id.name)) return;
        nameOffsets[id.name] = next;
        next += std::uint32_t(2 + 2 * id.name.size());
    };
    for (const Node& type : types) {
        placeName(type.id);
        for (const Node& name : type.children) placeName(name.id);
    }
    next = Align(next, 4);
    for (Node& type : types) {
        for (Node& name : type.children) {
            for (Node& language : name.children) {
                language.offset = next;
                next += kDataEntry;
            }
        }
    }

    std::vector<std::uint8_t> out(next, 0);
    WriteDirectory(out, 0, types, false, nameOffsets);
    for (const auto& [name, offset] : nameOffsets) {
        StoreU16(&out[offset], std::uint16_t(name.size()));
        for (std::size_t i = 0; i < name.size(); ++i) StoreU16(&out[offset + 2 + 2 * i], name[i]);
    }
    for (const Node& type : types) {
        WriteDirectory(out, type.offset, type.children, false, nameOffsets);
        for (const Node& name : type.children) {
            WriteDirectory(out, name.offset, name.children, true, nameOffsets);
            for (const Node& language : name.children) {
                out.resize(Align(out.size(), 8), 0);
                StoreU32(&out[language.offset], sectionRva + std::uint32_t(out.size()));
                StoreU32(&out[language.offset + 4], std::uint32_t(language.leaf->data.size()));
                StoreU32(&out[language.offset + 8], language.leaf->codePage);
                out.insert(out.end(), language.leaf->data.begin(), language.leaf->data.end());
            }
        }
    }
    return out;
}

std::string ReplaceIcons(std::vector<Resource>& resources, ByteView iconFile) {
    std::optional<std::vector<IconImage>> images = ParseIconFile(iconFile);
    if (!images) return "the uninstaller icon is no icon file (.ico) with at most 256 pictures";
    auto numbered = [](const Resource& r, std::uint16_t type) {
        return !r.type.IsNamed() && r.type.id == type && !r.name.IsNamed();
    };
    // The first numbered group in the tree's order keeps its number and language.
    std::vector<const Resource*> groups;
    for (const Resource& resource : resources) {
        if (numbered(resource, kResourceIconGroup)) groups.push_back(&resource);
    }
    std::stable_sort(groups.begin(), groups.end(), ResourceLess);
    Resource group;
    group.type.id = kResourceIconGroup;
    group.name.id = groups.empty() ? 1 : groups.front()->name.id;
    group.language = groups.empty() ? 0 : groups.front()->language;
    resources.erase(std::remove_if(resources.begin(), resources.end(),
                                   [&](const Resource& r) {
                                       return numbered(r, kResourceIcon) || numbered(r, kResourceIconGroup);
                                   }),
                    resources.end());
    constexpr std::uint16_t kFirstImageId = 1;
    for (std::size_t i = 0; i < images->size(); ++i) {
        Resource picture;
        picture.type.id = kResourceIcon;
        picture.name.id = std::uint16_t(kFirstImageId + i);
        picture.language = group.language;
        picture.data = (*images)[i].bytes.Copy();
        resources.push_back(std::move(picture));
    }
    group.data = IconGroupDirectory(*images, kFirstImageId);
    resources.push_back(std::move(group));
    return {};
}

std::string ReplaceResourceSection(std::vector<std::uint8_t>& image, const std::vector<Resource>& resources) {
    StubInspection inspection = InspectStub(image);
    if (!inspection.error.empty()) return inspection.error;
    const StubLayout& layout = inspection.layout;
    std::vector<std::uint8_t> section = WriteResourceSection(resources, layout.nextVirtualAddress);
    AppendedSection appended{".rsrc2", std::move(section), kSetupSectionCharacteristics};
    std::string error = AppendSection(image, layout, appended);
    if (!error.empty()) return error;
    std::uint32_t pe = layout.peHeaderOffset;
    StoreU32(&image[pe + kPeResourceDirectoryField], layout.nextVirtualAddress);
    StoreU32(&image[pe + kPeResourceDirectoryField + 4], std::uint32_t(appended.data.size()));
    return {};
}

}  // namespace palisade::tools
