#include "platform/RelocationTables.h"

#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstdint>

namespace RelocationTables {
namespace {

struct Span
{
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;

    bool isEmpty() const { return begin >= end; }
};

// The dynamic entries that give a relocation table and its size in bytes.
struct TableEntries
{
    ElfW(Sxword) table;
    ElfW(Sxword) size;
};
constexpr std::array<TableEntries, 2> Tables{{{DT_RELA, DT_RELASZ}, {DT_REL, DT_RELSZ}}};

// The loader writes the addresses in a dynamic section relocated, in place,
// except where that section is read-only (the vDSO's), which keeps offsets.
std::uintptr_t addressIn(const dl_phdr_info &object, ElfW(Addr) value)
{
    return value >= object.dlpi_addr ? value : object.dlpi_addr + value;
}

const ElfW(Dyn) *dynamicSection(const dl_phdr_info &object)
{
    for (ElfW(Half) i = 0; i < object.dlpi_phnum; ++i) {
        if (object.dlpi_phdr[i].p_type == PT_DYNAMIC)
            return reinterpret_cast<const ElfW(Dyn) *>(object.dlpi_addr + object.dlpi_phdr[i].p_vaddr);
    }
    return nullptr;
}

ElfW(Xword) entry(const ElfW(Dyn) *dynamic, ElfW(Sxword) tag)
{
    for (const ElfW(Dyn) *d = dynamic; d->d_tag != DT_NULL; ++d) {
        if (d->d_tag == tag)
            return d->d_un.d_val;
    }
    return 0;
}

// An object whose code the loader patched wrote into its read-only pages:
// those pages are no longer the file's.
bool patchedItsCode(const ElfW(Dyn) *dynamic)
{
    for (const ElfW(Dyn) *d = dynamic; d->d_tag != DT_NULL; ++d) {
        if (d->d_tag == DT_TEXTREL || (d->d_tag == DT_FLAGS && (d->d_un.d_val & DF_TEXTREL)))
            return true;
    }
    return false;
}

Span wholePages(Span span)
{
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    return {(span.begin + page - 1) & ~(page - 1), span.end & ~(page - 1)};
}

// Only pages the loader never writes are let go: a written page of a private
// mapping would lose what was written.
bool liesInReadOnlySegment(const dl_phdr_info &object, Span span)
{
    for (ElfW(Half) i = 0; i < object.dlpi_phnum; ++i) {
        const ElfW(Phdr) &segment = object.dlpi_phdr[i];
        const std::uintptr_t begin = object.dlpi_addr + segment.p_vaddr;
        if (segment.p_type == PT_LOAD && span.begin >= begin && span.end <= begin + segment.p_filesz)
            return !(segment.p_flags & PF_W);
    }
    return false;
}

std::size_t releaseTablesOf(const dl_phdr_info &object)
{
    const ElfW(Dyn) *dynamic = dynamicSection(object);
    if (!dynamic || patchedItsCode(dynamic))
        return 0;
    std::size_t released = 0;
    for (const TableEntries &entries : Tables) {
        const ElfW(Xword) size = entry(dynamic, entries.size);
        if (size == 0)
            continue;
        const std::uintptr_t begin = addressIn(object, entry(dynamic, entries.table));
        const Span pages = wholePages({begin, begin + size});
        if (pages.isEmpty() || !liesInReadOnlySegment(object, pages))
            continue;
        if (madvise(reinterpret_cast<void *>(pages.begin), pages.end - pages.begin, MADV_DONTNEED) == 0)
            released += pages.end - pages.begin;
    }
    return released;
}

int releaseTables(dl_phdr_info *object, std::size_t, void *released)
{
    *static_cast<std::size_t *>(released) += releaseTablesOf(*object);
    return 0;
}

} // namespace

std::size_t release()
{
    std::size_t released = 0;
    dl_iterate_phdr(releaseTables, &released);
    return released;
}

} // namespace RelocationTables
