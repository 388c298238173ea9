// "Add from Windows": the programs Windows knows for the extension that are not assigned to it yet, each
// assigned with one pick.
#include "ZelvantoDlg.h"

#include "CMenu.h"
#include "resource.h"
#include "store/ExecutablePath.h"
#include "store/associations/ProgramName.h"

#include <algorithm>

// The program a known program's path names, as the store compares paths.
static CString ProgramFile(const KnownProgram& program)
{
    return ExecutablePathOf(program.path, program.pathExpands ? REG_EXPAND_SZ : REG_SZ);
}

// Read afresh each time: what Windows knows changes as programs are installed.
std::vector<KnownProgram> CZelvantoDlg::UnassignedKnownPrograms() const
{
    CaselessSet assigned = Store().AssignedPrograms();
    std::vector<KnownProgram> programs = FindKnownPrograms(m_extension);
    std::erase_if(programs,
        [&assigned](const KnownProgram& program) { return assigned.Contains(ProgramFile(program)); });
    std::stable_sort(
        programs.begin(), programs.end(), [](const KnownProgram& first, const KnownProgram& second) {
            return ComesBefore(first.displayName, second.displayName);
        });
    if (programs.size() > ID_ADD_KNOWN_LAST - ID_ADD_KNOWN_FIRST + 1)
        programs.resize(ID_ADD_KNOWN_LAST - ID_ADD_KNOWN_FIRST + 1);
    return programs;
}

// A name's "&" would underline the next letter instead of showing.
static CString MenuText(CString name)
{
    name.Replace("&", "&&");
    return name;
}

// The entry follows "Add..."; its submenu is made here, since a resource script cannot hold an empty one, and
// goes with the menu. Greyed while Windows knows no program to add.
void CZelvantoDlg::FillKnownProgramsMenu(HMENU popup)
{
    m_knownPrograms = UnassignedKnownPrograms();
    int count = ::GetMenuItemCount(popup);
    for (int position = 0; position + 1 < count; ++position) {
        if (::GetMenuItemID(popup, position) != ID_ADD)
            continue;
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_SUBMENU;
        item.hSubMenu = ::CreatePopupMenu();
        for (size_t index = 0; index < m_knownPrograms.size(); ++index)
            ::AppendMenuA(item.hSubMenu, MF_STRING, ID_ADD_KNOWN_FIRST + index,
                MenuText(m_knownPrograms[index].displayName));
        ::SetMenuItemInfoA(popup, position + 1, TRUE, &item);
        if (m_knownPrograms.empty())
            ::EnableMenuItem(popup, position + 1, MF_BYPOSITION | MF_GRAYED);
        return;
    }
}

void CZelvantoDlg::OnAddKnown(UINT id)
{
    size_t index = id - ID_ADD_KNOWN_FIRST;
    if (index >= m_knownPrograms.size())
        return;
    const KnownProgram& program = m_knownPrograms[index];
    AddAndSelect({ program.path, FileNameOf(ProgramFile(program)), program.displayName, program.parameters });
}
