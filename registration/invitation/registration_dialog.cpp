#include "invitation/registration_dialog.h"

#include <commctrl.h>
#include <windowsx.h>

#include <iterator>

#include "invitation/invitation_rules.h"
#include "printerutil/register_sequence.h"
#include "printerutil/result_report.h"
#include "printerutil/server_param.h"
#include "resource.h"
#include "screens/agreement_dialog.h"
#include "screens/run_with_progress.h"
#include "ui/center_window.h"
#include "ui/dialog_font.h"
#include "ui/dialog_layout.h"
#include "ui/paint_scope.h"
#include "winutil/registry_values.h"

namespace qelinvitation {

namespace {

// The controls that show a picture and paint it themselves.
constexpr int kPictureControls[] = {IDC_INVITATION_BANNER, IDC_INVITATION_PICTURE,
                                    IDC_INVITATION_IMAGE1, IDC_INVITATION_IMAGE2};

void AddStyle(HWND control, LONG_PTR style) noexcept {
    ::SetWindowLongPtrW(control, GWL_STYLE, ::GetWindowLongPtrW(control, GWL_STYLE) | style);
}

// Stands in for facts the opener did not give: empty texts, no printer.
qelinfo::IApplicationInfo& FactsOrNone(qelinfo::IApplicationInfo* facts) {
    static qelinfo::ApplicationInfo none;
    return facts != nullptr ? *facts : none;
}

// True while a registration runs; cleared on every way out.
class Busy {
public:
    explicit Busy(bool& flag) noexcept : flag_(flag) { flag_ = true; }
    ~Busy() { flag_ = false; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    bool& flag_;
};

} // namespace

RegistrationDialog::~RegistrationDialog() = default;

void RegistrationDialog::SetDeviceData(const std::shared_ptr<printerutil::stDeviceData>& device) {
    if (!device) {
        return;
    }
    modelName_ = device->modelName;
    serialNumber_ = device->serialNumber;
    address_ = device->address;
    extra_ = device->extra;
    regionCode_ = device->regionCode;
    connectionKind_ = device->connectionKind;
    macAddress_ = device->macAddress;
    agreementState_ = device->agreement;
    qelSupport_ = device->qelSupport;
    connection_ = device->connection;
    serviceKind_ = device->serviceKind;
}

INT_PTR RegistrationDialog::DoModal(HWND owner) {
    return DialogController::DoModal(IDD_INVITATION, owner);
}

bool RegistrationDialog::IsSendInfoAgreed(const std::wstring& key) {
    const std::optional<DWORD> record =
        qelwinutil::FindInstalledDeviceSendInfoAgree(FactsOrNone(facts_).GetDeviceName(), key);
    if (!record) {
        return false;
    }
    agreement_.agreement = static_cast<int>(*record);
    return true;
}

std::optional<DWORD> RegistrationDialog::LookUpInstallerRecord() const {
    return qelwinutil::FindInstalledDeviceSendInfoAgree(
        FactsOrNone(facts_).GetDeviceName(), installerKey_.empty() ? serialNumber_ : installerKey_);
}

bool RegistrationDialog::ButtonLayoutActive() const {
    return layout_ == LayoutKind::kButton;
}

INT_PTR RegistrationDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return FALSE;
    case WM_SHOWWINDOW:
        if (wParam) {
            ::SetFocus(Item(IDC_INVITATION_REGISTER));
            qelui::CenterWindow(Window());
        }
        return TRUE;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_CTLCOLORSTATIC:
        return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    default:
        return FALSE;
    }
}

void RegistrationDialog::OnInitDialog() {
    HWND dialog = Window();
    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    banner_ = static_cast<HBITMAP>(::LoadImageW(instance, MAKEINTRESOURCEW(IDB_INVITATION_BANNER),
                                                IMAGE_BITMAP, 0, 0, LR_SHARED));
    SetCaptionText(CaptionText(FactsOrNone(facts_).GetServiceKind()));
    SetButtonTexts();
    for (int id : kPictureControls) {
        // Each paints its whole area itself, so it must clip what lies under it like any window
        // (a transparent window would let the card paint over it).
        HWND picture = Item(id);
        ::SetWindowLongPtrW(picture, GWL_EXSTYLE,
                            ::GetWindowLongPtrW(picture, GWL_EXSTYLE) & ~WS_EX_TRANSPARENT);
        ::SetWindowSubclass(picture, &RegistrationDialog::PictureProc, 0,
                            reinterpret_cast<DWORD_PTR>(this));
    }
    titleFont_ = OwnFont(12, FW_BOLD);
    qelui::SetControlFont(Item(IDC_INVITATION_TITLE1), titleFont_);
    qelui::SetControlFont(Item(IDC_INVITATION_TITLE2), titleFont_);
    buttonFont_ = OwnFont(10, FW_NORMAL);
    qelui::SetControlFont(Item(IDC_INVITATION_SKIP), buttonFont_);
    qelui::SetControlFont(Item(IDC_INVITATION_REGISTER), buttonFont_);
    LayoutControls();
    NoteInstallerRecord(agreement_, LookUpInstallerRecord());
}

void RegistrationDialog::SetButtonTexts() {
    qelinfo::IApplicationInfo& facts = FactsOrNone(facts_);
    const ButtonTexts texts = ChooseButtonTexts(facts.GetRegionCode(), facts.GetServiceKind(),
                                                facts.GetArea(), agreementState_);
    SetItemText(IDC_INVITATION_SKIP, texts.skip);
    SetItemText(IDC_INVITATION_REGISTER, texts.registration);
    HWND button = Item(IDC_INVITATION_IMAGE_BUTTON);
    if (texts.imageButton) {
        ::SetWindowSubclass(button, &RegistrationDialog::ImageButtonWndProc, 0,
                            reinterpret_cast<DWORD_PTR>(this));
        ::ShowWindow(button, SW_SHOW);
    } else {
        ::ShowWindow(button, SW_HIDE);
    }
}

void RegistrationDialog::LayoutControls() {
    HWND dialog = Window();
    illustrationItems_.clear();
    // The screen, its text and its pictures grow with the fonts, so the text keeps its lines.
    pixelsPerInch_ = qelui::PixelsPerInchY(dialog);
    const SIZE client = InvitationClientSize(pixelsPerInch_);
    qelui::SetClientSize(dialog, client.cx, client.cy);
    bodyFont_ = OwnFont(11, FW_NORMAL);
    qelui::SetControlFont(Item(IDC_INVITATION_BODY1), bodyFont_);
    qelui::SetControlFont(Item(IDC_INVITATION_BODY2), bodyFont_);

    qelinfo::IApplicationInfo& facts = FactsOrNone(facts_);
    std::vector<ContentRow> rows;
    std::vector<std::wstring> images;
    if (const qelinfo::IllustrationMap* content = facts.GetIllustrations()) {
        for (const auto& [key, entry] : *content) {
            if (rows.size() == std::size(kRowControls)) {
                break;
            }
            rows.push_back({entry.title, entry.body, !entry.imageFile.empty()});
            images.push_back(entry.imageFile);
        }
    }
    layout_ = ChooseLayout(facts.GetRegionCode(), facts.GetServiceKind(), agreementState_);

    // In the fonts the first row's title and body show them with.
    const MeasureText measure = [&](TextFont font, const std::wstring& text, int wrapWidth) {
        const bool title = font == TextFont::kTitle;
        return qelui::TextExtent(Item(title ? IDC_INVITATION_TITLE1 : IDC_INVITATION_BODY1),
                                 title ? titleFont_ : bodyFont_, text, wrapWidth);
    };
    for (const Placement& place : LayoutInvitation(layout_, rows, pixelsPerInch_, measure)) {
        HWND control = Item(place.id);
        if (place.id == IDC_INVITATION_IMAGE_BUTTON) {
            // Shown or hidden by the button rule; only its place comes from here.
            if (place.shown) {
                qelui::PlaceControl(control, place.x, place.y, place.width, place.height);
            }
            continue;
        }
        if (place.shown) {
            qelui::PlaceControl(control, place.x, place.y, place.width, place.height);
        }
        ::ShowWindow(control, place.shown ? SW_SHOW : SW_HIDE);
    }

    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    const COLORREF background = ::GetSysColor(COLOR_WINDOW);
    if (layout_ == LayoutKind::kButton) {
        // The card lies under everything else and the image button over everything else, and
        // neither is painted over by what lies on it.
        for (int id : {IDC_INVITATION_PICTURE, IDC_INVITATION_BODY1, IDC_INVITATION_BODY2}) {
            AddStyle(Item(id), WS_CLIPSIBLINGS);
        }
        ::SetWindowPos(Item(IDC_INVITATION_PICTURE), HWND_BOTTOM, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ::SetWindowPos(Item(IDC_INVITATION_IMAGE_BUTTON), HWND_TOP, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        // Its item deletes the bitmap, so it is loaded as the item's own copy.
        illustrationItems_.emplace_back(
            dialog,
            static_cast<HBITMAP>(::LoadImageW(instance, MAKEINTRESOURCEW(IDB_INVITATION_CARD),
                                              IMAGE_BITMAP, 0, 0, 0)),
            IDC_INVITATION_PICTURE, kIllustrationKey);
        cardBrush_.reset();
        shownCard_.reset(GrownCopy(illustrationItems_.back().Bitmap(), pixelsPerInch_));
        if (shownCard_) {
            cardBrush_.reset(::CreatePatternBrush(static_cast<HBITMAP>(shownCard_.get())));
        }
        if (buttonItems_.empty()) {
            for (const wchar_t* file : kImageButtonFiles) {
                buttonItems_.emplace_back(dialog, LoadPngAsHBitmap(file, background),
                                          IDC_INVITATION_IMAGE_BUTTON, kImageButtonKey);
            }
        }
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RowControls& controls = kRowControls[i];
        ::SetDlgItemTextW(dialog, controls.title, rows[i].title.c_str());
        ::SetDlgItemTextW(dialog, controls.body, rows[i].body.c_str());
        if (rows[i].hasImage) {
            illustrationItems_.emplace_back(dialog, LoadPngAsHBitmap(images[i], background),
                                            controls.image, kIllustrationKey);
        }
    }
}

void RegistrationDialog::OnDestroy() noexcept {
    illustrationItems_.clear();
}

INT_PTR RegistrationDialog::OnControlColour(HDC dc, HWND control) {
    const int id = ::GetDlgCtrlID(control);
    if (!illustrationItems_.empty() && ButtonLayoutActive() &&
        (id == IDC_INVITATION_BODY1 || id == IDC_INVITATION_TITLE1)) {
        ::SetBkColor(dc, RGB(255, 255, 255));
        const SIZE card = BitmapSize(static_cast<HBITMAP>(shownCard_.get()));
        if (!cardBrush_ || card.cx <= 0 || card.cy <= 0) {
            return reinterpret_cast<INT_PTR>(::GetStockObject(WHITE_BRUSH));
        }
        // The card's own pixels behind the text: a white box would cut through its pictures.
        RECT cardPlace{};
        RECT own{};
        ::GetWindowRect(Item(IDC_INVITATION_PICTURE), &cardPlace);
        ::GetWindowRect(control, &own);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetBrushOrgEx(dc, ((cardPlace.left - own.left) % card.cx + card.cx) % card.cx,
                        ((cardPlace.top - own.top) % card.cy + card.cy) % card.cy, nullptr);
        return reinterpret_cast<INT_PTR>(cardBrush_.get());
    }
    return FALSE;
}

INT_PTR RegistrationDialog::OnCommand(int id, int code) {
    switch (id) {
    case IDC_INVITATION_REGISTER:
    case IDC_INVITATION_IMAGE_BUTTON:
    case IDC_INVITATION_SKIP:
        // Only a click counts (an owner-drawn button also reports double clicks and focus),
        // and nothing starts while a registration runs.
        if (code != BN_CLICKED || registering_) {
            return TRUE;
        }
        if (id == IDC_INVITATION_SKIP) {
            OnSkip();
        } else {
            OnRegisterCommand(id);
        }
        return TRUE;
    case IDCANCEL:
        // Escape and the close request do not close the invitation.
        return TRUE;
    default:
        return FALSE;
    }
}

void RegistrationDialog::OnRegisterCommand(int id) {
    const Busy busy(registering_);
    int done = 0;
    try {
        command_ = id;
        const bool agreed = SettleAgreement(
            agreement_, [this] { return LookUpInstallerRecord(); },
            [this] {
                qelscreens::AgreementDialog agreement(Texts(), facts_);
                return agreement.DoModal(Window());
            });
        done = agreed ? Register() : 0;
    } catch (...) {
        // The agreement step failed, or the handling of a failure did: the failure box, and
        // the screen stays for another try.
        try {
            AfterRegistrationFailure(std::current_exception());
        } catch (...) {
        }
        done = 0;
    }
    if (done == 1) {
        End(id);
    }
}

void RegistrationDialog::FillLaunchContext(qelinfo::ApplicationInfo& local) {
    qelinfo::IApplicationInfo& facts = FactsOrNone(facts_);
    local.SetLaunchContext(qelSupport_ != 0, agreementState_ != 0, facts.GetDeviceName(),
                           serialNumber_, facts.GetLanguageCode(), facts.GetResidence(),
                           facts.GetArea(), regionCode_, serviceKind_, facts.GetLaunchMode());
}

int RegistrationDialog::Register() {
    if (printerAddress_.empty()) {
        return 1;
    }
    printerutil::stRegSeqResult result;
    std::exception_ptr failure;
    try {
        result = RunRegistration();
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure) {
        // A recovery that applied a network registers again, with the state it left.
        return AfterRegistrationFailure(failure) ? Register() : 0;
    }
    // An empty address opens nothing (the shell would open a folder); the screen closes all
    // the same, the registration having run.
    system_.OpenPage(result.url);
    return 1;
}

printerutil::stRegSeqResult RegistrationDialog::RunRegistration() {
    qelinfo::IApplicationInfo& facts = FactsOrNone(facts_);
    const std::shared_ptr<printerutil::stServerParam> server =
        printerutil::BuildServerParam(regionCode_, facts.GetResidence(), facts.GetArea());
    auto printer = std::make_shared<printerutil::stRegsterParam>();
    printer->modelName = facts.GetDeviceName();
    printer->serialNumber = serialNumber_;
    printer->macAddress = macAddress_;
    printer->region = regionCode_;
    printer->agreement = agreementState_;
    printer->address = printerAddress_;
    printer->connectionKind = connectionKind_;

    qelinfo::ApplicationInfo local;
    FillLaunchContext(local);
    local.SetLaunchMode(command_ == IDC_INVITATION_IMAGE_BUTTON ? qelinfo::kLaunchScreen
                                                                : qelinfo::kLaunchInstallerReg);
    local.SetUsbRetried(usbRetry_);
    if (usbRetry_ == 0) {
        userAction_ = 1;
    }
    local.SetUserAction(userAction_);
    local.SetSendInfoCode(agreement_.sendInfo);
    return qelscreens::RunWithProgress(qelscreens::ProgressDialog::kStatus, Window(), Texts(), L"",
                                       [&](qelscreens::CancelFlag* cancel) {
                                           return printerutil::StartRegisterSequence(
                                               &local, cancel, server, printer);
                                       });
}

void RegistrationDialog::OnSkip() {
    try {
        qelinfo::ApplicationInfo local;
        FillLaunchContext(local);
        local.SetUsbRetried(usbRetry_);
        local.SetUserAction(userAction_);
        local.SetSendInfoCode(agreement_.sendInfo);
        local.SetLaunchMode(qelinfo::kLaunchInstallerReg);
        printerutil::SendInvitationNotice(&local, printerutil::CurrentServiceAddresses().gateway);
    } catch (...) {
        // The notice is a courtesy to the gateway: the user who skips leaves all the same.
    }
    End(IDC_INVITATION_SKIP);
}

// Painting ---------------------------------------------------------------------------------

void RegistrationDialog::PaintBackground(HWND control, HDC dc) const {
    RECT area{};
    ::GetClientRect(control, &area);
    auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(Window(), WM_CTLCOLORSTATIC,
                                                         reinterpret_cast<WPARAM>(dc),
                                                         reinterpret_cast<LPARAM>(control)));
    ::FillRect(dc, &area, brush != nullptr ? brush : ::GetSysColorBrush(COLOR_3DFACE));
}

void RegistrationDialog::PaintPicture(HWND control, HDC dc) const {
    PaintBackground(control, dc);
    const int id = ::GetDlgCtrlID(control);
    if (id == IDC_INVITATION_BANNER) {
        DrawTransparent(dc, 0, 0, banner_, kBannerKey, pixelsPerInch_);
    }
    for (const ImageItem& item : illustrationItems_) {
        if (item.ControlId() == id) {
            item.Draw(dc, 0, 0, pixelsPerInch_);
        }
    }
}

void RegistrationDialog::PaintImageButton(HWND button, HDC dc) const {
    // What lies behind the button shows through the key: the dialog, then the pictures.
    PaintBackground(button, dc);
    RECT own{};
    ::GetWindowRect(button, &own);
    for (const ImageItem& item : illustrationItems_) {
        HWND control = Item(item.ControlId());
        RECT under{};
        RECT overlap{};
        if (!::IsWindowVisible(control) || !::GetWindowRect(control, &under) ||
            !::IntersectRect(&overlap, &own, &under)) {
            continue;
        }
        item.Draw(dc, under.left - own.left, under.top - own.top, pixelsPerInch_);
    }
    if (buttonItems_.size() == std::size(kImageButtonFiles)) {
        buttonItems_[static_cast<std::size_t>(buttonState_.Look())].Draw(dc, 0, 0, pixelsPerInch_);
    }
}

LRESULT CALLBACK RegistrationDialog::PictureProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam, UINT_PTR id,
                                                 DWORD_PTR self) noexcept {
    auto* dialog = reinterpret_cast<RegistrationDialog*>(self);
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // the paint covers it all
    case WM_PAINT: {
        const qelui::PaintScope paint(window);
        if (paint.dc() != nullptr) {
            try {
                dialog->PaintPicture(window, paint.dc());
            } catch (...) {
                // A picture that cannot be drawn stays empty.
            }
        }
        return 0;
    }
    case WM_PRINTCLIENT:
        try {
            dialog->PaintPicture(window, reinterpret_cast<HDC>(wParam));
        } catch (...) {
        }
        return 0;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(window, &RegistrationDialog::PictureProc, id);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK RegistrationDialog::ImageButtonWndProc(HWND window, UINT message, WPARAM wParam,
                                                        LPARAM lParam, UINT_PTR id,
                                                        DWORD_PTR self) noexcept {
    auto* dialog = reinterpret_cast<RegistrationDialog*>(self);
    try {
        switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            // Always validated, also when there is nothing to draw or the drawing throws.
            const qelui::PaintScope paint(window);
            if (paint.dc() != nullptr) {
                dialog->PaintImageButton(window, paint.dc());
            }
            return 0;
        }
        case WM_PRINTCLIENT:
            dialog->PaintImageButton(window, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_MOUSEMOVE:
            dialog->OnImageButtonMouse(window, MouseEvent::kMove, lParam);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            dialog->OnImageButtonMouse(window, MouseEvent::kDown, lParam);
            return 0;
        case WM_LBUTTONUP:
            dialog->OnImageButtonMouse(window, MouseEvent::kUp, lParam);
            return 0;
        case WM_CAPTURECHANGED:
            dialog->OnImageButtonMouse(window, MouseEvent::kCaptureLost, lParam);
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(window, &RegistrationDialog::ImageButtonWndProc, id);
            break;
        default:
            break;
        }
    } catch (...) {
        // Nothing thrown may pass the system's window code; the button goes back to normal.
        return 0;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

void RegistrationDialog::OnImageButtonMouse(HWND button, MouseEvent event, LPARAM lParam) {
    const bool inside =
        InsideImageButton(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), pixelsPerInch_);
    const ButtonReaction reaction = buttonState_.On(event, inside);
    if (reaction.capture) {
        ::SetCapture(button);
    }
    if (reaction.release && ::GetCapture() == button) {
        ::ReleaseCapture();
    }
    if (reaction.repaint) {
        ::InvalidateRect(button, nullptr, FALSE);
    }
    if (reaction.click) {
        ::PostMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDC_INVITATION_IMAGE_BUTTON, BN_CLICKED),
                       reinterpret_cast<LPARAM>(button));
    }
}

} // namespace qelinvitation
