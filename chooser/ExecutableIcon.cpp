#include "ExecutableIcon.h"

#include <cstddef>
#include <cstring>
#include <iterator>
#include <optional>
#include <vector>

namespace
{

// The largest resource read: an icon image of 256 by 256 pixels at 32 bits with its mask is about 270 KB.
const DWORD kLargestResource = 1024 * 1024;

// The file, read at offsets; a read that would pass its end fails. Any file may be hostile, so every offset
// and size below comes from it and is only ever checked by such a read.
class ExecutableFile
{
public:
    explicit ExecutableFile(LPCSTR path)
        : m_file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~ExecutableFile()
    {
        if (m_file != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_file);
    }
    ExecutableFile(const ExecutableFile&) = delete;
    ExecutableFile& operator=(const ExecutableFile&) = delete;

    bool Read(ULONGLONG offset, void* buffer, DWORD size) const
    {
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        return m_file != INVALID_HANDLE_VALUE && ::ReadFile(m_file, buffer, size, &read, &at) && read == size;
    }
    template <class Value> bool Read(ULONGLONG offset, Value& value) const
    {
        return Read(offset, &value, sizeof value);
    }

private:
    HANDLE m_file;
};

// The resources of an executable image: where their tree starts in the file, and the sections that map the
// addresses its data entries give to places in the file.
class Resources
{
public:
    bool Open(const ExecutableFile& file);
    // The data of the resource of the type, of the name id or else the first name, in its first language.
    bool Read(const ExecutableFile& file, WORD type, std::optional<WORD> name, std::vector<BYTE>& data) const;

private:
    bool FindEntry(const ExecutableFile& file, DWORD directory, std::optional<WORD> id,
        IMAGE_RESOURCE_DIRECTORY_ENTRY& found) const;
    bool FileOffset(DWORD address, DWORD size, ULONGLONG& offset) const;

    ULONGLONG m_root = 0;
    std::vector<IMAGE_SECTION_HEADER> m_sections;
};

bool Resources::Open(const ExecutableFile& file)
{
    IMAGE_DOS_HEADER dos;
    DWORD signature = 0;
    IMAGE_FILE_HEADER header;
    if (!file.Read(0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || !file.Read(dos.e_lfanew, signature)
        || signature != IMAGE_NT_SIGNATURE || !file.Read(dos.e_lfanew + sizeof signature, header))
        return false;
    ULONGLONG optional = dos.e_lfanew + sizeof signature + sizeof header;
    WORD magic = 0;
    IMAGE_DATA_DIRECTORY directory;
    bool is64 = file.Read(optional, magic) && magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    ULONGLONG directories = optional
        + (is64 ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory));
    m_sections.resize(header.NumberOfSections);
    return file.Read(directories + IMAGE_DIRECTORY_ENTRY_RESOURCE * sizeof directory, directory)
        && file.Read(optional + header.SizeOfOptionalHeader, m_sections.data(),
            static_cast<DWORD>(m_sections.size() * sizeof(IMAGE_SECTION_HEADER)))
        && FileOffset(directory.VirtualAddress, sizeof(IMAGE_RESOURCE_DIRECTORY), m_root);
}

bool Resources::FileOffset(DWORD address, DWORD size, ULONGLONG& offset) const
{
    for (const IMAGE_SECTION_HEADER& section : m_sections) {
        ULONGLONG start = section.VirtualAddress;
        if (address >= start && ULONGLONG(address) + size <= start + section.SizeOfRawData) {
            offset = section.PointerToRawData + (address - start);
            return true;
        }
    }
    return false;
}

// The entry with the id, or else the first: the first icon group is the one the shell shows.
bool Resources::FindEntry(const ExecutableFile& file, DWORD directory, std::optional<WORD> id,
    IMAGE_RESOURCE_DIRECTORY_ENTRY& found) const
{
    IMAGE_RESOURCE_DIRECTORY header;
    if (!file.Read(m_root + directory, header))
        return false;
    std::vector<IMAGE_RESOURCE_DIRECTORY_ENTRY> entries(
        header.NumberOfNamedEntries + header.NumberOfIdEntries);
    if (entries.empty()
        || !file.Read(m_root + directory + sizeof header, entries.data(),
            static_cast<DWORD>(entries.size() * sizeof entries[0])))
        return false;
    for (const IMAGE_RESOURCE_DIRECTORY_ENTRY& entry : entries) {
        if (!id || (!entry.NameIsString && entry.Id == *id)) {
            found = entry;
            return true;
        }
    }
    return false;
}

// The tree has three levels: type, name and language; the last leads to the data's address and size.
bool Resources::Read(
    const ExecutableFile& file, WORD type, std::optional<WORD> name, std::vector<BYTE>& data) const
{
    const std::optional<WORD> path[] = { type, name, std::nullopt };
    DWORD directory = 0;
    IMAGE_RESOURCE_DIRECTORY_ENTRY entry = {};
    for (size_t level = 0; level < std::size(path); ++level) {
        bool leadsToData = level + 1 == std::size(path);
        if (!FindEntry(file, directory, path[level], entry) || entry.DataIsDirectory == leadsToData)
            return false;
        directory = entry.OffsetToDirectory;
    }
    IMAGE_RESOURCE_DATA_ENTRY place;
    ULONGLONG offset = 0;
    if (!file.Read(m_root + entry.OffsetToData, place) || place.Size > kLargestResource
        || !FileOffset(place.OffsetToData, place.Size, offset))
        return false;
    data.resize(place.Size);
    return file.Read(offset, data.data(), place.Size);
}

// The group's directory as LookupIconIdFromDirectoryEx reads it, checked to hold every entry it counts.
#pragma pack(push, 2)
struct GroupHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
#pragma pack(pop)
const DWORD kGroupEntrySize = 14;

bool IsWholeGroup(const std::vector<BYTE>& group)
{
    GroupHeader header = {};
    if (group.size() < sizeof header)
        return false;
    std::memcpy(&header, group.data(), sizeof header);
    return header.type == 1 && header.count > 0
        && group.size() >= sizeof header + header.count * kGroupEntrySize;
}

// A bitmap of the image's own format, with its pixels copied in.
HBITMAP NewBitmap(const BITMAPINFO& format, const BYTE* pixels, size_t size)
{
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap)
        std::memcpy(bits, pixels, size);
    return bitmap;
}

// An icon image is a bitmap header, its colours, the colour pixels and the mask, which together are twice as
// high as the icon. One of another width, or compressed (PNG), is not read here.
IconLoader::Picture PictureOfImage(const std::vector<BYTE>& image, int size)
{
    BITMAPINFOHEADER header = {};
    if (image.size() < sizeof header)
        return {};
    std::memcpy(&header, image.data(), sizeof header);
    int bits = header.biBitCount;
    bool readable = header.biSize == sizeof header && header.biWidth == size && header.biHeight == 2 * size
        && header.biPlanes == 1 && header.biCompression == BI_RGB
        && (bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32);
    size_t colours = header.biClrUsed ? header.biClrUsed : (bits <= 8 ? size_t(1) << bits : 0);
    size_t paletteEnd = sizeof header + colours * sizeof(RGBQUAD);
    size_t colourSize = size_t((size * bits + 31) / 32 * 4) * size;
    size_t maskSize = size_t((size + 31) / 32 * 4) * size;
    if (!readable || colours > 256 || image.size() < paletteEnd + colourSize + maskSize)
        return {};
    std::vector<BYTE> colourFormat(image.begin(), image.begin() + paletteEnd);
    reinterpret_cast<BITMAPINFOHEADER*>(colourFormat.data())->biHeight = size;
    reinterpret_cast<BITMAPINFOHEADER*>(colourFormat.data())->biSizeImage = 0;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } maskFormat = { { sizeof(BITMAPINFOHEADER), size, size, 1, 1, BI_RGB, 0, 0, 0, 2, 0 },
        { { 0, 0, 0, 0 }, { 255, 255, 255, 0 } } };
    IconLoader::Picture picture;
    picture.image = NewBitmap(
        *reinterpret_cast<const BITMAPINFO*>(colourFormat.data()), image.data() + paletteEnd, colourSize);
    picture.mask = NewBitmap(
        *reinterpret_cast<const BITMAPINFO*>(&maskFormat), image.data() + paletteEnd + colourSize, maskSize);
    if (picture.image && picture.mask)
        return picture;
    IconLoader::Delete(picture);
    return {};
}

} // namespace

IconForm ReadExecutableIcon(LPCSTR path, int size, IconLoader::Picture& picture)
{
    ExecutableFile file(path);
    Resources resources;
    std::vector<BYTE> group;
    std::vector<BYTE> image;
    if (!resources.Open(file) || !resources.Read(file, LOWORD(RT_GROUP_ICON), std::nullopt, group)
        || !IsWholeGroup(group))
        return IconForm::None;
    int id = ::LookupIconIdFromDirectoryEx(group.data(), TRUE, size, size, LR_DEFAULTCOLOR);
    if (id <= 0 || id > 0xFFFF || !resources.Read(file, LOWORD(RT_ICON), WORD(id), image))
        return IconForm::None;
    picture = PictureOfImage(image, size);
    return picture.image ? IconForm::Read : IconForm::Other;
}
