// The list dialog, one for both lists: the constants dialog (slot pickers,
// constants with their values, another file to load) and the currencies
// dialog (quick currencies, currencies with their rates, a bank's daily
// rates to load); and the record editor that adds, renames and deletes a
// record of either.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "core/lists/rates_import.h"
#include "core/lists/record_platform.h"
#include "windows/net/rates_download.h"
#include "windows/system/registry.h"
#include "resources/resource.h"
#include "windows/dialogs/dialogs.h"
#include "windows/dialogs/fields.h"
#include "windows/dialogs/phone_dialog.h"
#include "windows/shell/message_box.h"
#include "windows/shell/shell.h"
#include "windows/shell/system_function.h"
#include "windows/system/text.h"

namespace {

// --- The record editor --------------------------------------------------------

enum class EditMode { Add, Change, Delete };

struct EditRequest {
    EditMode mode;
    const char* format;      // the value's: the list kind's value format
    double value;            // in: shown (Change, Delete); out after Ok: the value field
    const char16_t* name;    // in: shown (Change, Delete), borrowed from the list
    char16_t* typedName;     // out after Ok: the name field, malloc'ed, the caller's
    int focusedEdit;         // the edit that had the focus last: Back erases there
};

void OpenRecordEditor(HWND dialog, EditRequest& request)
{
    if (!OpenPhoneDialog(dialog, IDB_OK_CANCEL)) return;
    PrepareValueField(dialog, IDC_RECORD_VALUE);
    SendDlgItemMessageW(dialog, IDC_RECORD_NAME, EM_LIMITTEXT, kFieldTextLimit, 0);
    ArrowsLeaveEdit(GetDlgItem(dialog, IDC_RECORD_NAME));
    request.focusedEdit = IDC_RECORD_NAME;
    if (request.mode == EditMode::Add) return;

    if (request.name != nullptr) SetDlgItemTextW(dialog, IDC_RECORD_NAME, AsWide(request.name));
    ShowNumberField(request.value, dialog, IDC_RECORD_VALUE, request.format);
    if (request.mode == EditMode::Delete) {
        EnableWindow(GetDlgItem(dialog, IDC_RECORD_NAME), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_RECORD_VALUE), FALSE);
        SetWindowTextW(dialog, LoadText(IDS_EDITOR_DELETE).c_str());
    } else {
        SetWindowTextW(dialog, LoadText(IDS_EDITOR_CHANGE).c_str());
    }
}

// `text` with "%1" and "%2" replaced by `first` and `second`.
std::wstring Filled(const std::wstring& text, const std::wstring& first, const std::wstring& second = {})
{
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool insert = text[i] == L'%' && i + 1 < text.size() && (text[i + 1] == L'1' || text[i + 1] == L'2');
        if (!insert) {
            out += text[i];
            continue;
        }
        out += text[++i] == L'1' ? first : second;
    }
    return out;
}

// Why a name is refused, by RecordNameProblem.
const UINT kNameProblemTexts[] = {
    0, IDS_NAME_EMPTY, IDS_NAME_WITH_EQUALS, IDS_NAME_COMMENT_START, IDS_NAME_WITH_CONTROL, IDS_NAME_OUTSIDE_CODE_PAGE,
};
static_assert(std::size(kNameProblemTexts) == kNameOutsideCodePage + 1, "a text for every problem");

// Ok keeps the editor open, with what was typed, while the name could not be
// stored in a record file, and says why; a deletion is always confirmed.
void RecordEditorOk(HWND dialog, EditRequest& request)
{
    char16_t* name = ReadTextField(dialog, IDC_RECORD_NAME);
    char16_t offending = 0;
    const RecordNameProblem problem = name != nullptr ? CheckRecordName(name, offending) : kNameStorable;
    if (request.mode != EditMode::Delete && problem != kNameStorable) {
        // Such a record would vanish or change at the next load.
        std::free(name);
        const std::wstring text = Filled(LoadText(kNameProblemTexts[problem]), std::wstring(1, offending));
        ShowMessageBox(dialog, text.c_str(), LoadText(IDS_ERROR).c_str(), MB_OK | MB_ICONWARNING);
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_RECORD_NAME)), TRUE);
        return;
    }
    request.value = ReadNumberField(dialog, IDC_RECORD_VALUE);
    request.typedName = name;
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK RecordEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        KeepRequest(dialog, lParam);
        OpenRecordEditor(dialog, *RequestOf<EditRequest>(dialog));
        return TRUE;
    }
    EditRequest* request = RequestOf<EditRequest>(dialog);
    if (request == nullptr) return FALSE;
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (HIWORD(wParam) == EN_SETFOCUS && (id == IDC_RECORD_NAME || id == IDC_RECORD_VALUE)) {
            request->focusedEdit = id;
            return TRUE;
        }
        if (HIWORD(wParam) != 0) return FALSE;
        if (id == IDM_DLG_OK) RecordEditorOk(dialog, *request);
        else if (id == IDM_DLG_CANCEL) EndDialog(dialog, 0);
        else return FALSE;
        return TRUE;
    }
    case WM_HOTKEY:
        if (IsBackRelease(lParam)) EraseOneCharacter(dialog, request->focusedEdit);
        return TRUE;
    }
    return FALSE;
}

// Runs the editor: 1 on Ok, with the typed name (null when memory ran out)
// and value in the request.
int RunRecordEditor(HWND owner, EditRequest& request)
{
    request.typedName = nullptr;
    return RunPhoneDialog(owner, IDD_RECORD_EDITOR, RecordEditorProc, &request);
}

// --- The list dialog ------------------------------------------------------------

// The controls of one kind's dialog: a spinner list per pick, the list of
// records, the value field.
struct ListDialogShape {
    int templateId;
    UINT barId;
    int pickLists[kMaxPicks];
    int recordList;
    int valueField;
    bool loadsFiles;  // "Загрузить": another constants file
    bool loadsRates;  // "Загрузить курсы...": a bank's daily rates
};

const ListDialogShape kConstantsShape{
    IDD_CONSTANTS, IDB_OK_MENU_LOAD,
    {IDC_SLOT1_LIST, IDC_SLOT1_LIST + 1, IDC_SLOT1_LIST + 2, IDC_SLOT1_LIST + 3, IDC_SLOT1_LIST + 4,
     IDC_SLOT1_LIST + 5},
    IDC_CONSTANT_LIST, IDC_CONSTANT_VALUE, true, false};
const ListDialogShape kCurrenciesShape{
    IDD_CURRENCIES, IDB_OK_MENU, {IDC_QUICK1_LIST, IDC_QUICK2_LIST, IDC_QUICK3_LIST},
    IDC_CURRENCY_LIST, IDC_RATE_EDIT, false, true};

// A download of the day's rates under way, and what the status line showed
// before it.
struct RatesUpdate {
    RatesFetch* fetch = nullptr;
    std::wstring status;
};

struct ListRequest {
    const ListDialogShape* shape;
    RecordList* list;
    DialogContext context;
    RatesUpdate* update;
};

const char* FormatOf(const RecordList& list) { return list.kind->file.valueFormat; }

// The reason texts, indexed by RecordFault.
constexpr UINT kFaultTexts[] = {
    IDS_FAULT_WRITE_FAILED, IDS_FAULT_READ_ONLY,    IDS_FAULT_NO_PERMISSION, IDS_FAULT_DISK_FULL,
    IDS_FAULT_TOO_LARGE,    IDS_FAULT_NOT_REPLACED, IDS_FAULT_WRITE_FAILED,  IDS_FAULT_UNREADABLE,
    IDS_FAULT_LINE_TOO_LONG, IDS_FAULT_NO_MEMORY,    IDS_FAULT_TEMP_TAKEN,
};
static_assert(std::size(kFaultTexts) == kRecordTempInTheWay + 1, "a text for every reason");

// An error box naming the list's file (leadId: not loaded or not saved) and why.
void ShowFileError(HWND dialog, const ListRequest& request, UINT leadId, const RecordFileError& error)
{
    ShowListFileError(dialog, request.context.folder, *request.list, leadId, error);
}

void ShowValue(HWND dialog, const ListRequest& request, double value)
{
    ShowNumberField(value, dialog, request.shape->valueField, FormatOf(*request.list));
}

double WorkingValue(const RecordList& list, int row)
{
    return list.workValues != nullptr ? list.workValues[row] : list.values[row];
}

// Every list of the dialog: the pick lists, then the record list.
template <typename Each>
void ForEachList(const ListRequest& request, Each each)
{
    for (int k = 0; k < PickCount(*request.list); ++k) each(request.shape->pickLists[k]);
    each(request.shape->recordList);
}

void SelectWorkingPicks(HWND dialog, const ListRequest& request)
{
    for (int k = 0; k < PickCount(*request.list); ++k)
        SendDlgItemMessageW(dialog, request.shape->pickLists[k], LB_SETCURSEL,
                            static_cast<WPARAM>(request.list->workPicks[k]), 0);
}

// The list's records and picks into the dialog's lists, the first value in its field.
void ShowListRecords(HWND dialog, const ListRequest& request)
{
    const RecordList& list = *request.list;
    ForEachList(request, [&](int id) { SendDlgItemMessageW(dialog, id, LB_RESETCONTENT, 0, 0); });
    ForEachList(request, [&](int id) { AddNamesToList(dialog, id, list.names, list.count); });
    if (list.count > 0) {
        for (int k = 0; k < PickCount(list); ++k)
            SendDlgItemMessageW(dialog, request.shape->pickLists[k], LB_SETCURSEL, static_cast<WPARAM>(list.picks[k]),
                                0);
        SendDlgItemMessageW(dialog, request.shape->recordList, LB_SETCURSEL, 0, 0);
        ShowValue(dialog, request, list.values[0]);
    } else {
        SetDlgItemTextW(dialog, request.shape->valueField, L"");
    }
}

void FillListDialog(HWND dialog, const ListRequest& request)
{
    ShowListRecords(dialog, request);
    BeginEditing(*request.list);
}

// The date of the rates in the line under the lists, when the currency file
// says it; the caption stays the dialog's own.
void ShowRatesDate(HWND dialog, const char16_t* date)
{
    if (date[0] != 0) SetDlgItemTextW(dialog, IDC_RATES_STATUS, Filled(LoadText(IDS_RATES_DATE), AsWide(date)).c_str());
}

void RecordSelected(HWND dialog, const ListRequest& request)
{
    RecordList& list = *request.list;
    if (list.count <= 0) return;
    const int row = ListSelection(dialog, request.shape->recordList);
    if (row >= 0 && MoveToRow(list, row, ReadNumberField(dialog, request.shape->valueField)))
        ShowValue(dialog, request, list.workValues[row]);
}

void ListOk(HWND dialog, const ListRequest& request)
{
    int selections[kMaxPicks];
    for (int k = 0; k < PickCount(*request.list); ++k)
        selections[k] = ListSelection(dialog, request.shape->pickLists[k]);
    const double field = ReadNumberField(dialog, request.shape->valueField);
    const int saved = FinishEditing(*request.list, selections, field, AsUtf16(request.context.folder));
    // A file that could not be written keeps the dialog open: nothing typed is lost.
    if (saved < 0) ShowFileError(dialog, request, IDS_FILE_NOT_SAVED, request.list->saveError);
    else EndDialog(dialog, saved);
}

void ListAdd(HWND dialog, const ListRequest& request)
{
    RecordList& list = *request.list;
    EditRequest edit{EditMode::Add, FormatOf(list), 0, nullptr, nullptr, 0};
    if (RunRecordEditor(dialog, edit) != 1 || edit.typedName == nullptr) return;
    if (AddEntry(list, edit.typedName, edit.value))
        ForEachList(request, [&](int id) { AddNamesToList(dialog, id, list.names + list.count - 1, 1); });
    std::free(edit.typedName);
}

void ListDelete(HWND dialog, const ListRequest& request)
{
    RecordList& list = *request.list;
    const int row = ListSelection(dialog, request.shape->recordList);
    if (row < 0 || row >= list.count) return;
    EditRequest edit{EditMode::Delete, FormatOf(list), WorkingValue(list, row), list.names[row], nullptr, 0};
    const int confirmed = RunRecordEditor(dialog, edit);
    std::free(edit.typedName);
    if (confirmed != 1) return;
    const int recordList = request.shape->recordList;
    if (SendDlgItemMessageW(dialog, recordList, LB_DELETESTRING, static_cast<WPARAM>(row), 0) == LB_ERR) return;
    DeleteEntry(list, row);
    if (list.count > 0) SendDlgItemMessageW(dialog, recordList, LB_SETCURSEL, 0, 0);
    ShowValue(dialog, request, list.count > 0 ? WorkingValue(list, 0) : 0);
    for (int k = 0; k < PickCount(list); ++k)
        SendDlgItemMessageW(dialog, request.shape->pickLists[k], LB_DELETESTRING, static_cast<WPARAM>(row), 0);
    SelectWorkingPicks(dialog, request);
}

void ListChange(HWND dialog, const ListRequest& request)
{
    RecordList& list = *request.list;
    const int row = ListSelection(dialog, request.shape->recordList);
    if (row < 0 || row >= list.count) return;
    EditRequest edit{EditMode::Change, FormatOf(list), WorkingValue(list, row), list.names[row], nullptr, 0};
    if (RunRecordEditor(dialog, edit) != 1) return;
    const bool changed = edit.typedName != nullptr && ChangeEntry(list, row, edit.typedName, edit.value);
    std::free(edit.typedName);
    if (!changed) return;
    ShowValue(dialog, request, WorkingValue(list, row));
    ForEachList(request, [&](int id) { ReplaceListItem(dialog, id, row, list.names[row]); });
    SendDlgItemMessageW(dialog, request.shape->recordList, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SelectWorkingPicks(dialog, request);
}

void PasteDisplayText(HWND dialog, const ListRequest& request)
{
    const char16_t* text = request.context.calculator->engine.text;
    if (text[0] != 0) SetDlgItemTextW(dialog, request.shape->valueField, AsWide(text));
}

// Another constants file replaces the list; Ok writes it back, normalised.
void LoadAnotherFile(HWND dialog, const ListRequest& request)
{
    if (RunConstantFiles(dialog, request.context) != 1) return;
    char16_t name[kListNameCapacity];
    ConstantsFileName(request.context.calculator->options, name);
    LoadListOrSay(dialog, request.context.folder, *request.list, name);
    FillListDialog(dialog, request);
    request.list->modified = 1;
}

// The system's Open dialog for a bank's file. Its library is loaded here, the
// first time: the program starts faster without it.
bool ChooseRatesFile(HWND owner, std::wstring& path)
{
    using OpenFunction = BOOL(WINAPI*)(OPENFILENAMEW*);
    static const auto open = SystemFunction<OpenFunction>(L"comdlg32.dll", "GetOpenFileNameW");
    if (open == nullptr) return false;
    std::wstring filter = LoadText(IDS_RATES_FILTER);  // "name|pattern|…|", as the dialog wants it with NULs
    for (wchar_t& c : filter)
        if (c == L'|') c = 0;
    const std::wstring title = LoadText(IDS_RATES_OPEN_TITLE);
    wchar_t chosen[MAX_PATH] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = chosen;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (!open(&dialog)) return false;
    path = chosen;
    return true;
}

// A rates problem in the program's words: its text from the string table
// (numbered by its code), the detail in it.
std::wstring RatesProblemWords(const RatesProblem& problem)
{
    return Filled(LoadText(static_cast<UINT>(problem.code)), AsWide(problem.detail));
}

// At most `limit` bytes of the file: enough to tell a bank's file, and one
// too many to be one.
bool ReadWholeFile(const std::wstring& path, size_t limit, std::string& bytes)
{
    const RecordPlatform& files = CurrentRecordPlatform();
    RecordStream* file = files.openRead(AsUtf16(path.c_str()), nullptr);
    if (file == nullptr) return false;
    bytes.assign(limit, '\0');
    size_t got = 0;
    long read = 0;
    while (got < limit && (read = files.read(file, bytes.data() + got, std::min<size_t>(limit - got, 1u << 20))) > 0)
        got += static_cast<size_t>(read);
    files.close(file);
    bytes.resize(got);
    return read >= 0;
}

void ImportBankRates(HWND dialog, const ListRequest& request, const std::string& bytes, UINT leadId,
                     const std::wstring& source);

// A bank's daily file, chosen in the system's Open dialog, replaces the
// currencies shown; Ok writes them with the file's date, Отмена leaves the
// currency file as it was.
void LoadBankRates(HWND dialog, const ListRequest& request)
{
    std::wstring path;
    if (!ChooseRatesFile(dialog, path)) return;
    std::string bytes;
    if (!ReadWholeFile(path, kRatesFileLimit + 1, bytes)) {
        ShowMessageBox(dialog, Filled(LoadText(IDS_FILE_NOT_LOADED), path, LoadText(IDS_FAULT_UNREADABLE)).c_str(),
                       LoadText(IDS_ERROR).c_str(), MB_OK);
        return;
    }
    ImportBankRates(dialog, request, bytes, IDS_FILE_NOT_LOADED, path);
}

// A bank's file (read or downloaded) replaces the currencies shown; a file
// refused says why after leadId's words about `source`.
void ImportBankRates(HWND dialog, const ListRequest& request, const std::string& bytes, UINT leadId,
                     const std::wstring& source)
{
    RatesImport import;
    RatesProblem problem;
    if (PrepareRatesImport(bytes.data(), bytes.size(), AsUtf16(request.context.folder), import, problem) !=
        kRatesWritten) {
        std::wstring reason = RatesProblemWords(problem);
        if (problem.line > 0) reason = Filled(LoadText(IDS_RATES_LINE), std::to_wstring(problem.line), reason);
        ShowMessageBox(dialog, Filled(LoadText(leadId), source, reason).c_str(), LoadText(IDS_ERROR).c_str(), MB_OK);
        return;
    }
    std::vector<char16_t*> names;
    for (std::u16string& name : import.names) names.push_back(name.data());
    if (!ReplaceListRecords(*request.list, names.data(), import.values.data(), static_cast<int>(names.size()),
                            import.quick, import.head.data(), import.head.size())) {
        ShowMessageBox(dialog, LoadText(IDS_OUT_OF_MEMORY).c_str(), LoadText(IDS_ERROR).c_str(), MB_OK);
        return;
    }
    ShowListRecords(dialog, request);
    ShowRatesDate(dialog, import.date);
}

// ---- "Обновить курсы": the chosen bank's day, downloaded off the dialog's thread

constexpr UINT kRatesFetched = WM_APP + 20;  // lParam: the RatesFetch
constexpr UINT_PTR kRatesDeadlineTimer = 1;

std::wstring TextOfControl(HWND dialog, int id)
{
    wchar_t text[128] = {};
    GetDlgItemTextW(dialog, id, text, static_cast<int>(std::size(text)));
    return text;
}

// The server's name in an address, for the messages.
std::string HostOf(const std::wstring& url)
{
    const size_t start = url.find(L"://") == std::wstring::npos ? 0 : url.find(L"://") + 3;
    const size_t end = url.find_first_of(L":/?", start);
    std::string host;
    for (wchar_t c : url.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start))
        host += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    return host;
}

std::wstring RatesAddress()
{
    const std::wstring stored = LoadRatesUrl();
    if (!stored.empty()) return stored;
    const char* address = kRatesBankAddresses[LoadRatesBank()];
    return std::wstring(address, address + std::char_traits<char>::length(address));
}

void ShowChosenBank(HWND dialog)
{
    HMENU menu = SoftKeyBarMenu(SHFindMenuBar(dialog));
    if (menu != nullptr)
        CheckMenuRadioItem(menu, IDM_RATES_BANK_CBR, IDM_RATES_BANK_ECB, IDM_RATES_BANK_CBR + LoadRatesBank(),
                           MF_BYCOMMAND);
}

void ChooseBank(HWND dialog, int bank)
{
    SaveRatesBank(bank);
    ShowChosenBank(dialog);
}

// The download ends for the dialog: the status line shows what it showed.
void EndRatesUpdate(HWND dialog, const ListRequest& request)
{
    KillTimer(dialog, kRatesDeadlineTimer);
    AbandonRatesFetch(request.update->fetch);
    request.update->fetch = nullptr;
    SetDlgItemTextW(dialog, IDC_RATES_STATUS, request.update->status.c_str());
}

void SayNotFetched(HWND dialog, const std::wstring& url, const RatesProblem& problem)
{
    ShowMessageBox(dialog, Filled(LoadText(IDS_RATES_NOT_FETCHED), url, RatesProblemWords(problem)).c_str(),
                   LoadText(IDS_ERROR).c_str(), MB_OK);
}

void StartRatesUpdate(HWND dialog, const ListRequest& request)
{
    if (request.update->fetch != nullptr) return;  // one at a time
    const std::wstring url = RatesAddress();
    request.update->fetch = StartRatesFetch(url, ratesFetchLimits, dialog, kRatesFetched);
    if (request.update->fetch == nullptr) {
        ShowMessageBox(dialog, LoadText(IDS_OUT_OF_MEMORY).c_str(), LoadText(IDS_ERROR).c_str(), MB_OK);
        return;
    }
    request.update->status = TextOfControl(dialog, IDC_RATES_STATUS);
    SetDlgItemTextW(dialog, IDC_RATES_STATUS, LoadText(IDS_RATES_LOADING).c_str());
    // The download bounds itself; this is the dialog's own word on it.
    SetTimer(dialog, kRatesDeadlineTimer, static_cast<UINT>(ratesFetchLimits.totalMs) + 2000, nullptr);
}

// Отмена while a download runs stops it, and only it.
void CancelRatesUpdate(HWND dialog, const ListRequest& request, RatesText why)
{
    const std::wstring url = request.update->fetch->url;
    EndRatesUpdate(dialog, request);
    RatesProblem problem;
    const std::string host = HostOf(url);
    RefuseRates(problem, 0, why, host.data(), host.size());
    SayNotFetched(dialog, url, problem);
}

void RatesUpdateEnded(HWND dialog, const ListRequest& request, RatesFetch* fetch)
{
    if (fetch != request.update->fetch) {  // abandoned after it had posted
        ReleaseRatesFetch(fetch);
        return;
    }
    const std::wstring url = fetch->url;
    const bool ok = fetch->ok;
    const std::string body = std::move(fetch->body);
    const RatesProblem problem = fetch->problem;
    ReleaseRatesFetch(fetch);
    EndRatesUpdate(dialog, request);
    if (!ok) SayNotFetched(dialog, url, problem);
    else ImportBankRates(dialog, request, body, IDS_RATES_NOT_FETCHED, url);
}

struct ListCommand {
    int id;
    void (*run)(HWND dialog, const ListRequest& request);
};

const ListCommand kListCommands[] = {
    {IDM_DLG_OK, ListOk},
    {IDM_DLG_ADD, ListAdd},
    {IDM_DLG_DELETE, ListDelete},
    {IDM_DLG_EDIT, ListChange},
    {IDM_PASTE, PasteDisplayText},
};

void RunListCommand(HWND dialog, const ListRequest& request, int id)
{
    if (request.update->fetch != nullptr) {
        if (id == IDM_DLG_CANCEL) return CancelRatesUpdate(dialog, request, kRatesCancelled);
        EndRatesUpdate(dialog, request);  // whatever else the user does, the download is over
    }
    if (id == IDM_DLG_CANCEL) EndDialog(dialog, 0);
    if (request.shape->loadsRates) {
        if (id == IDM_UPDATE_RATES) StartRatesUpdate(dialog, request);
        if (id == IDM_RATES_BANK_CBR || id == IDM_RATES_BANK_ECB) ChooseBank(dialog, id - IDM_RATES_BANK_CBR);
    }
    if (id == IDM_CONSTANT_FILES && request.shape->loadsFiles) LoadAnotherFile(dialog, request);
    if (id == IDM_LOAD_RATES && request.shape->loadsRates) LoadBankRates(dialog, request);
    for (const ListCommand& command : kListCommands)
        if (command.id == id) command.run(dialog, request);
}

INT_PTR CALLBACK ListDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        KeepRequest(dialog, lParam);
        const ListRequest& request = *RequestOf<ListRequest>(dialog);
        if (!OpenPhoneDialog(dialog, request.shape->barId)) return FALSE;
        PrepareValueField(dialog, request.shape->valueField);
        FillListDialog(dialog, request);
        char16_t date[kRatesDateCapacity] = {};
        if (request.shape->loadsRates && ReadRatesDate(AsUtf16(request.context.folder), date))
            ShowRatesDate(dialog, date);
        if (request.shape->loadsRates) ShowChosenBank(dialog);
        return TRUE;
    }
    const ListRequest* request = RequestOf<ListRequest>(dialog);
    if (request == nullptr) return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == request->shape->recordList) {
            if (HIWORD(wParam) == LBN_SELCHANGE) RecordSelected(dialog, *request);
            return TRUE;
        }
        if (HIWORD(wParam) != 0) return FALSE;
        RunListCommand(dialog, *request, LOWORD(wParam));
        return TRUE;  // Back and the system's Ok never close this dialog
    case WM_HOTKEY:
        if (IsBackRelease(lParam)) EraseOneCharacter(dialog, request->shape->valueField);
        return TRUE;
    case kRatesFetched:
        RatesUpdateEnded(dialog, *request, reinterpret_cast<RatesFetch*>(lParam));
        return TRUE;
    case WM_TIMER:
        if (wParam == kRatesDeadlineTimer && request->update->fetch != nullptr)
            CancelRatesUpdate(dialog, *request, kRatesTimedOut);
        return TRUE;
    case WM_DESTROY:
        if (request->update->fetch != nullptr) EndRatesUpdate(dialog, *request);
        return FALSE;
    }
    return FALSE;
}

}  // namespace

RatesFetchLimits ratesFetchLimits;

int ShowListDialog(HWND owner, ListDialogKind kind, DialogContext context)
{
    const bool constants = kind == ListDialogKind::Constants;
    RatesUpdate update;
    ListRequest request{constants ? &kConstantsShape : &kCurrenciesShape,
                        constants ? &context.calculator->constants : &context.calculator->currencies, context,
                        &update};
    const int result = RunPhoneDialog(owner, request.shape->templateId, ListDialogProc, &request);
    if (result != 0) return result;
    // Rates loaded but not kept: the file still holds the table as it was.
    const bool replaced = request.list->pendingHead != nullptr;
    CancelEditing(*request.list);
    if (replaced) LoadList(*request.list, AsUtf16(context.folder), request.list->fileName);
    return result;
}

void ShowListFileError(HWND owner, const wchar_t* folder, const RecordList& list, UINT leadId,
                       const RecordFileError& error)
{
    const std::wstring path = folder + std::wstring(AsWide(list.fileName)) + L".txt";
    const size_t fault = static_cast<size_t>(error.fault);
    const UINT reasonId = fault < std::size(kFaultTexts) ? kFaultTexts[fault] : IDS_FAULT_WRITE_FAILED;
    const std::wstring reason = Filled(LoadText(reasonId), std::to_wstring(error.line));
    ShowMessageBox(owner, Filled(LoadText(leadId), path, reason).c_str(), LoadText(IDS_ERROR).c_str(), MB_OK);
}

void LoadListOrSay(HWND owner, const wchar_t* folder, RecordList& list, const char16_t* fileName)
{
    LoadList(list, AsUtf16(folder), fileName);
    if (list.loadError.fault != kRecordNoFault) ShowListFileError(owner, folder, list, IDS_FILE_NOT_LOADED, list.loadError);
}
