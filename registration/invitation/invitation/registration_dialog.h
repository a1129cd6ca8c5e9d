// The invitation screen (dialog 129): invites the user to register one printer with the cloud
// service, shows the invitation content of the application facts in one of three layouts, and
// offers Register, Skip and, for serviceA printers of region "1", a large image button that
// registers too. Register settles the user's agreement, runs the registration under the status
// progress dialog and opens the page the gateway returns; its failures are handled by the
// outcome handling (registration_outcome.cpp), which may lead the user through the Wi-Fi
// recovery and register again. Skip tells the gateway and closes the screen.
//
// The flow that opens the screen fills the controller (text library, printer address,
// application facts, installer device key, the printer's data) and calls DoModal, which gives
// the command that closed the screen: IDC_INVITATION_REGISTER, IDC_INVITATION_IMAGE_BUTTON or
// IDC_INVITATION_SKIP.
#pragma once

#include <windows.h>

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <vtqeldevc/vtqeldevc.h>

#include "invitation/image_button.h"
#include "invitation/image_item.h"
#include "invitation/invitation_layout.h"
#include "invitation/send_info.h"
#include "printerutil/device_data.h"
#include "printerutil/registration_records.h"
#include "qelinfo/ApplicationInfo.h"
#include "ui/dialog_controller.h"
#include "ui/system.h"

namespace qelinvitation {

// Colours left out when the pictures are drawn.
inline constexpr COLORREF kBannerKey = 0x800080;
inline constexpr COLORREF kIllustrationKey = 0xCC0020;
inline constexpr COLORREF kImageButtonKey = 0;

// The pictures of the image button, in the order of ButtonLook.
inline constexpr const wchar_t* kImageButtonFiles[3] = {L"bt_normal.png", L"bt_press.png",
                                                        L"bt_over.png"};

class RegistrationDialog final : public qelui::DialogController {
public:
    // Boxes and pages go through the system (the program's own in the program).
    explicit RegistrationDialog(qelui::ISystem& system) noexcept : system_(system) {}
    ~RegistrationDialog() override;

    // What the opening flow fills in.
    void SetPrinterAddress(std::wstring address) { printerAddress_ = std::move(address); }
    void SetApplicationInfo(qelinfo::IApplicationInfo* facts) noexcept { facts_ = facts; }
    void SetInstallerDeviceKey(std::wstring key) { installerKey_ = std::move(key); }
    // Copies the printer's texts, bytes and connection block.
    void SetDeviceData(const std::shared_ptr<printerutil::stDeviceData>& device);

    // Shows the screen over owner (null: none) until Register or Skip closes it.
    INT_PTR DoModal(HWND owner = nullptr);

    // One registration of the printer: 1 when the screen may close (registered, or no printer
    // to register), 0 when it stays open; after a recovery, what the registration run again
    // gave.
    int Register();

    // The installer's "SEND_INFO_AGREE" for this printer below the sub-key key; when there is
    // one it becomes the user agreement and the result is true.
    bool IsSendInfoAgreed(const std::wstring& key);

    // The state the next registration or the skip notice reports.
    int SendInfoCode() const noexcept { return agreement_.sendInfo; }
    int UserAgreement() const noexcept { return agreement_.agreement; }
    int UserAction() const noexcept { return userAction_; }
    bool UsbRetry() const noexcept { return usbRetry_ != 0; }
    ButtonLook ImageButtonLook() const noexcept { return buttonState_.Look(); }

protected:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The image statics and the image button paint themselves through these.
    static LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR self) noexcept;
    static LRESULT CALLBACK ImageButtonWndProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR id, DWORD_PTR self) noexcept;

    void OnInitDialog();
    void SetButtonTexts();
    void LayoutControls();
    void OnDestroy() noexcept;
    INT_PTR OnCommand(int id, int code);
    void OnRegisterCommand(int id);
    void OnSkip();
    INT_PTR OnControlColour(HDC dc, HWND control);

    void PaintPicture(HWND control, HDC dc) const;
    void PaintImageButton(HWND button, HDC dc) const;
    void PaintBackground(HWND control, HDC dc) const;
    void OnImageButtonMouse(HWND button, MouseEvent event, LPARAM lParam);

    // The facts of one registration or skip notice, as a fresh object.
    void FillLaunchContext(qelinfo::ApplicationInfo& local);
    std::optional<DWORD> LookUpInstallerRecord() const;
    bool ButtonLayoutActive() const;

    // The registration did not complete (registration_outcome.cpp): what the user is shown, and
    // the Wi-Fi recovery when the printer on USB has no Internet. True when a network was
    // applied and the printer is registered again.
    bool AfterRegistrationFailure(const std::exception_ptr& failure);
    printerutil::stRegSeqResult RunRegistration();

    qelui::ISystem& system_;
    HFONT titleFont_ = nullptr;
    HFONT buttonFont_ = nullptr;
    HFONT bodyFont_ = nullptr;
    HBITMAP banner_ = nullptr; // a shared resource bitmap: never deleted
    // The card of the button layout as shown, and the brush the texts on it paint their
    // background with, so they show the card under them and not a box of their own.
    qelwin::unique_hgdiobj shownCard_;
    qelwin::unique_hgdiobj cardBrush_;
    std::wstring printerAddress_;
    std::vector<ImageItem> illustrationItems_;
    std::vector<ImageItem> buttonItems_;
    qelinfo::IApplicationInfo* facts_ = nullptr;

    // The printer.
    std::wstring modelName_;
    std::wstring serialNumber_;
    std::wstring address_;
    std::wstring extra_;
    std::wstring regionCode_;
    int connectionKind_ = 0;
    std::wstring macAddress_;
    unsigned char agreementState_ = 0;
    unsigned char qelSupport_ = 0;
    DeviceConnection connection_{};
    unsigned char serviceKind_ = 0;

    AgreementState agreement_;
    ImageButtonState buttonState_;
    LayoutKind layout_ = LayoutKind::kList;
    int pixelsPerInch_ = 96; // of the layout and the pictures
    int command_ = 0;
    unsigned char usbRetry_ = 0;
    int userAction_ = 1;
    std::wstring installerKey_;
    bool registering_ = false;
};

} // namespace qelinvitation
