#include "KxMenus.h"

#include <algorithm>
#include <climits>

#include "ClipIcon.h"
#include "ControlsRules.h"
#include "Forms.h"
#include "Icons.h"
#include "KxMenusRules.h"
#include "KxUtils.h"
#include "ScopeGuards.h"
#include "SysUtils.h"

namespace kx {

using velfw::TBitmap;
using velfw::TCanvas;
using velfw::TColor;
using velfw::TFindItemKind;
using velfw::TMenuItem;

namespace {

const char kPopupListWindowClass[] = "TKxPopupListWindow";

// Right-to-left for a window laid out or read that way.
velfw::TBiDiMode BiDiModeAt(POINT p) {
    HWND wnd = ::WindowFromPoint(p);
    if (!wnd) wnd = velfw::Application ? velfw::Application->Handle() : nullptr;
    const LONG ex = wnd ? ::GetWindowLongA(wnd, GWL_EXSTYLE) : 0;
    return ex & (WS_EX_LAYOUTRTL | WS_EX_RTLREADING) ? velfw::TBiDiMode::bdRightToLeft
                                                      : velfw::TBiDiMode::bdLeftToRight;
}


// Windows 95 and NT 4 on: the flat menus with two-line separators.
bool NewStyleShell() { return LOBYTE(LOWORD(::GetVersion())) >= 4; }

// The menu font of the system's non-client metrics. Systems from Vista on
// expect the structure with its trailing padded-border field (which our
// headers leave out) and older ones refuse it: the longer form is asked for
// first, the shorter one when that fails.
bool SystemMenuFont(LOGFONTA& font) {
    struct {
        NONCLIENTMETRICSA metrics;
        int paddedBorderWidth;
    } full = {};
    static_assert(sizeof full == sizeof(NONCLIENTMETRICSA) + sizeof(int));
    for (UINT size : {UINT(sizeof full), UINT(sizeof full.metrics)}) {
        full.metrics.cbSize = size;
        if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, size, &full, 0)) {
            font = full.metrics.lfMenuFont;
            return true;
        }
    }
    return false;
}

SIZE CheckMarkSize() {
    const LONG d = ::GetMenuCheckMarkDimensions();
    return SIZE{LOWORD(d), HIWORD(d)};
}

// An icon is drawn, and measured, at the size of its own image: the system
// would stretch a plain icon handle to the standard icon size.
struct DisplayIcon {
    velfw::UniqueIcon Handle;
    int Width = 0, Height = 0;
};

DisplayIcon DisplayIconOf(const velfw::TIcon& icon) {
    DisplayIcon shown{velfw::UniqueIcon(MakeDisplayIcon(icon))};
    IconExtent(shown.Handle.get(), shown.Width, shown.Height);
    return shown;
}

// A one-pixel 3-D frame: `topLeft` above and left, `bottomRight` below and right.
void Frame3D(TCanvas& canvas, const RECT& r, TColor topLeft, TColor bottomRight) {
    canvas.FillRect(RECT{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
    canvas.FillRect(RECT{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
    canvas.FillRect(RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    canvas.FillRect(RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

// A checkered fill of two colours, as the system draws the face of a pushed-in toggle.
void FillCheckered(TCanvas& canvas, const RECT& r, TColor a, TColor b) {
    TBitmap pattern(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) pattern.Canvas().SetPixel(x, y, (x + y) % 2 ? b : a);
    velfw::UniqueGdiObject brush(::CreatePatternBrush(pattern.Handle()));
    if (brush) ::FillRect(canvas.Handle(), &r, static_cast<HBRUSH>(brush.get()));
}

}  // namespace

// ---- popup menu

TKxPopupMenu::TKxPopupMenu(velfw::TComponent* owner) : TPopupMenu(owner) {
    PopupList().Add(this);
    imageChangeLink_.OnChange = [this](velfw::TObject* sender) { ImageListChange(sender); };
}

TKxPopupMenu::~TKxPopupMenu() {
    life_.End();
    if (images_) images_->UnRegisterChanges(&imageChangeLink_);
    SetStyle(TKxMenuStyle::msStandard);
    PopupList().Remove(this);
}

void TKxPopupMenu::SetStyle(TKxMenuStyle value) {
    if (value == style_) return;
    style_ = value;
    UpdateOwnerDraw(IsOwnerDrawMenu());
}

void TKxPopupMenu::SetImages(velfw::TCustomImageList* value) {
    const bool was = IsOwnerDrawMenu();
    if (images_) images_->UnRegisterChanges(&imageChangeLink_);
    images_ = value;
    if (value) {
        value->RegisterChanges(&imageChangeLink_);
        FreeNotification(value);
    }
    if (IsOwnerDrawMenu() != was) UpdateOwnerDraw(IsOwnerDrawMenu());
}

bool TKxPopupMenu::IsOwnerDrawMenu() const {
    return style_ != TKxMenuStyle::msStandard || (images_ && images_->Count() > 0);
}

void TKxPopupMenu::ImageListChange(velfw::TObject* sender) {
    if (sender == images_) UpdateOwnerDraw(IsOwnerDrawMenu());
}

void TKxPopupMenu::UpdateOwnerDraw(bool value) {
    SetOwnerDraw((ComponentState() & velfw::csDesigning) ? false : value);
}

void TKxPopupMenu::Loaded() {
    TPopupMenu::Loaded();
    if (IsOwnerDrawMenu()) UpdateOwnerDraw(true);
}

void TKxPopupMenu::Notification(velfw::TComponent* component, velfw::TOperation operation) {
    TPopupMenu::Notification(component, operation);
    // The list is half gone already: its links are let go, not unregistered.
    if (operation == velfw::TOperation::opRemove && component == images_) {
        images_ = nullptr;
        imageChangeLink_.Sender = nullptr;
        UpdateOwnerDraw(IsOwnerDrawMenu());
    }
}

void TKxPopupMenu::Popup(int x, int y) {
    popupPoint_ = {x, y};
    const velfw::ScopedValue keepParentBiDi(ParentBiDiMode);
    const bool rtlLocale = ::GetSystemMetrics(SM_MIDEASTENABLED) != 0;
    if (rtlLocale && ParentBiDiMode) {
        BiDiMode = BiDiModeAt(popupPoint_);
        ParentBiDiMode = false;
    }
    DoPopup();
    if (IsOwnerDrawMenu()) UpdateOwnerDraw(true);
    const bool rightToLeft = rtlLocale && BiDiMode == velfw::TBiDiMode::bdRightToLeft;
    // The chosen command arrives at the popup list's window afterwards.
    ::TrackPopupMenu(Handle(), velfw::TrackPopupFlags(Alignment, rightToLeft, TrackButton), x, y, 0,
                     PopupList().Window(), nullptr);
}

bool TKxPopupMenu::IsTopLevel(const TMenuItem* item) const { return item->Parent() == Items(); }

void TKxPopupMenu::SetMenuFont(bool bold) {
    velfw::TFont& font = canvas_.Font();
    LOGFONTA system = {};
    const bool newShell = NewStyleShell();
    if (newShell && SystemMenuFont(system)) {
        font.SetName(system.lfFaceName);
        const int height = system.lfHeight < 0 ? -system.lfHeight : system.lfHeight;
        velfw::WindowDc screen(nullptr);
        const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
        font.SetSize(height ? ::MulDiv(height, 72, dpi) : 8);
    } else {
        font.SetName(newShell ? "MS Sans Serif" : "System");
        font.SetSize(8);
    }
    font.SetColor(velfw::clMenuText);
    font.SetStyle(bold ? unsigned{velfw::fsBold} : 0u);
}

// Item metrics that need the bound canvas: measuring text in the menu font.
namespace {

struct ItemInputs {
    MenuMetrics Metrics;
    MenuItemState State;
};

ItemInputs GatherInputs(TCanvas& canvas, TMenuItem* item, const TKxPopupMenu& menu, int imageIndex,
                        velfw::TGraphic* graphic, int numGlyphs, TMenuOwnerDrawState state) {
    ItemInputs in;
    MenuMetrics& m = in.Metrics;
    const SIZE check = CheckMarkSize();
    m.CheckWidth = check.cx;
    m.CheckHeight = check.cy;
    m.MenuHeight = ::GetSystemMetrics(SM_CYMENU);
    m.TextHeight = canvas.TextHeight("Ay");
    m.NewShell = NewStyleShell();
    m.ShowCheckMarks = menu.ShowCheckMarks;
    m.MinTextOffset = static_cast<int32_t>(std::min<uint32_t>(menu.MinTextOffset, INT32_MAX));
    velfw::TCustomImageList* images = menu.Images();
    m.HasImages = images != nullptr;
    if (images) {
        m.ImageWidth = images->Width();
        m.ImageHeight = images->Height();
    }
    m.RightToLeft = item->Parent() && menu.BiDiMode == velfw::TBiDiMode::bdRightToLeft;
    HDC dc = canvas.Handle();
    m.GrayTextDiffersFromHighlight = ::GetNearestColor(dc, velfw::ColorToRGB(velfw::clGrayText)) !=
                                     ::GetNearestColor(dc, velfw::ColorToRGB(velfw::clHighlight));

    MenuItemState& s = in.State;
    s.Text = {item->Caption(), velfw::ShortCutToText(item->ShortCut())};
    if (TMenuItem* parent = item->Parent())
        for (int i = 0; i < parent->Count(); ++i)
            s.Siblings.push_back({parent->Items(i)->Caption(), velfw::ShortCutToText(parent->Items(i)->ShortCut())});
    s.HasSubmenu = item->Count() > 0;
    s.Selected = state & odSelected;
    s.Disabled = state & odDisabled;
    s.Checked = state & odChecked;
    s.ValidImage = images && images->Handle() && imageIndex >= 0 && imageIndex < images->Count();
    if (graphic && !graphic->Empty() && !item->IsLine()) {
        s.HasGraphic = true;
        s.GraphicIsBitmap = dynamic_cast<TBitmap*>(graphic) != nullptr;
        if (auto* icon = dynamic_cast<velfw::TIcon*>(graphic)) {
            const DisplayIcon shown = DisplayIconOf(*icon);
            s.GraphicWidth = shown.Width;
            s.GraphicHeight = shown.Height;
        } else {
            s.GraphicWidth = graphic->Width();
            s.GraphicHeight = graphic->Height();
        }
        s.NumGlyphs = numGlyphs;
    }
    return in;
}

TextWidthFn CanvasTextWidth(TCanvas& canvas) {
    return [&canvas](const std::string& text) { return canvas.TextWidth(text); };
}

}  // namespace

bool TKxPopupMenu::WMMeasureItem(TMenuItem* item, MEASUREITEMSTRUCT& request) {
    if (!IsOwnerDrawMenu()) return false;
    request.itemData = reinterpret_cast<ULONG_PTR>(item);
    velfw::WindowDc screen(nullptr);
    if (!screen) return true;
    canvas_.SetHandle(screen.get());
    const velfw::ScopeExit unbind([this] { canvas_.SetHandle(nullptr); });
    SetMenuFont(item->Default());
    TColor color = canvas_.Brush().Color();
    velfw::TGraphic* graphic = nullptr;
    int numGlyphs = 1;
    GetItemParams(item, 0, canvas_.Font(), color, graphic, numGlyphs);
    int imageIndex = item->ImageIndex;
    GetImageIndex(item, 0, imageIndex);
    const ItemInputs in = GatherInputs(canvas_, item, *this, imageIndex, graphic, numGlyphs, 0);
    const MenuItemLayout layout = LayoutMenuItem(in.Metrics, CanvasTextWidth(canvas_), in.State);
    int width = layout.Width, height = layout.Height;
    MeasureItem(item, width, height);
    if (IsTopLevel(item)) width += static_cast<int>(std::min<uint32_t>(LeftMargin, INT32_MAX - 1)) + 1;
    request.itemWidth = static_cast<UINT>(std::max(width, 0));
    request.itemHeight = static_cast<UINT>(std::max(height, 0));
    return true;
}

bool TKxPopupMenu::WMDrawItem(TMenuItem* item, DRAWITEMSTRUCT& request) {
    if (!IsOwnerDrawMenu()) return false;
    request.itemData = reinterpret_cast<ULONG_PTR>(item);
    HDC dc = request.hDC;
    const velfw::SavedDc saved(dc);
    canvas_.SetHandle(dc);
    const velfw::ScopeExit unbind([this] { canvas_.SetHandle(nullptr); });
    const TMenuOwnerDrawState state = request.itemState & 0xFF;
    const bool topLevel = IsTopLevel(item);
    const int margin = static_cast<int>(std::min<uint32_t>(LeftMargin, INT32_MAX - 1));
    if (topLevel && margin != 0 && request.itemAction == ODA_DRAWENTIRE) {
        RECT clip = {};
        ::GetClipBox(dc, &clip);
        clip.left = 0;
        clip.right = margin;
        DrawMargin(clip);
    }
    SetMenuFont(state & odDefault);
    canvas_.Brush().SetStyle(velfw::TBrushStyle::bsSolid);
    canvas_.Brush().SetColor(velfw::clMenu);
    const bool button = style_ == TKxMenuStyle::msBtnLowered || style_ == TKxMenuStyle::msBtnRaised;
    if ((state & odSelected) && !button) {
        canvas_.Brush().SetColor(velfw::clHighlight);
        canvas_.Font().SetColor(velfw::clHighlightText);
    }
    RECT r = request.rcItem;
    if (topLevel) r.left += margin + 1;
    ::IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    DrawItem(item, r, state);
    return true;
}

void TKxPopupMenu::MeasureItem(TMenuItem* item, int& width, int& height) {
    if (OnMeasureItem) OnMeasureItem(this, item, width, height);
}

void TKxPopupMenu::GetImageIndex(TMenuItem* item, TMenuOwnerDrawState state, int& imageIndex) {
    if (OnGetImageIndex && images_ && item && !item->IsLine()) OnGetImageIndex(this, item, state, imageIndex);
}

void TKxPopupMenu::GetItemParams(TMenuItem* item, TMenuOwnerDrawState state, velfw::TFont& font, TColor& color,
                                 velfw::TGraphic*& graphic, int& numGlyphs) {
    if (OnGetItemParams) OnGetItemParams(this, item, state, font, color, graphic, numGlyphs);
    if (item && item->IsLine()) graphic = nullptr;
}

void TKxPopupMenu::DrawMargin(const RECT& rect) {
    if (OnDrawMargin) {
        OnDrawMargin(this, rect);
        return;
    }
    const bool newShell = NewStyleShell();
    RECT bands = rect;
    if (newShell) bands.right -= 3;
    const MarginColors colors = MenuMarginColors();
    PaintGradientBands(canvas_, bands, colors.Start, colors.End, GradientDirection::TopToBottom, colors.Bands);
    if (newShell) {
        canvas_.FillRect(RECT{rect.right - 2, rect.top, rect.right - 1, rect.bottom}, velfw::clBtnShadow);
        canvas_.FillRect(RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, velfw::clBtnHighlight);
    }
}

void TKxPopupMenu::DrawItem(TMenuItem* item, const RECT& rect, TMenuOwnerDrawState state) {
    if (!canvas_.Handle()) return;
    velfw::TGraphic* graphic = nullptr;
    TColor color = canvas_.Brush().Color();
    int numGlyphs = 1;
    GetItemParams(item, state, canvas_.Font(), color, graphic, numGlyphs);
    if (color != velfw::clNone) {
        canvas_.Brush().SetColor(color);
        canvas_.FillRect(rect);
    }
    if (OnDrawItem) {
        OnDrawItem(this, item, rect, state);
        return;
    }
    int imageIndex = item->ImageIndex;
    GetImageIndex(item, state, imageIndex);
    const int buttonStyle = style_ == TKxMenuStyle::msBtnLowered ? 1 : style_ == TKxMenuStyle::msBtnRaised ? 2 : 0;
    DrawMenuItem(item, rect, state, buttonStyle, imageIndex, graphic, numGlyphs);
}

namespace {

// How the pictures of one item are drawn.
struct ItemPainter {
    TCanvas& canvas;
    bool disabled, selected, loweredBox, emboss;

    TColor Shadow() const { return selected ? velfw::clGrayText : velfw::clBtnShadow; }

    void LoweredBox(RECT box, TColor grey) const {
        box.top += 1;
        box.bottom -= 1;
        if (selected) canvas.FillRect(box, velfw::clMenu);
        else FillCheckered(canvas, box, velfw::clMenu, velfw::clBtnHighlight);
        Frame3D(canvas, box, grey, velfw::clBtnHighlight);
    }

    void Bitmap(int x, int y, TBitmap& bitmap, bool asDisabled) const {
        HDC dc = canvas.Handle();
        const int w = bitmap.Width(), h = bitmap.Height();
        if (asDisabled && bitmap.Monochrome()) {
            // Stamps the brush where the bitmap is black.
            constexpr DWORD kStampBrush = 0xE20746;
            const COLORREF text = ::SetTextColor(dc, RGB(255, 255, 255));
            const COLORREF back = ::SetBkColor(dc, RGB(0, 0, 0));
            auto stamp = [&](int sx, int sy, TColor color) {
                velfw::UniqueGdiObject brush(::CreateSolidBrush(velfw::ColorToRGB(color)));
                velfw::SelectedObject selected(dc, brush.get());
                ::BitBlt(dc, sx, sy, w, h, bitmap.Canvas().Handle(), 0, 0, kStampBrush);
            };
            if (emboss) stamp(x + 1, y + 1, velfw::clBtnHighlight);
            stamp(x, y, Shadow());
            ::SetTextColor(dc, text);
            ::SetBkColor(dc, back);
        } else if (asDisabled) {
            auto image = BuildDisabledImage(bitmap, velfw::clBlack, velfw::clMenu, velfw::clBtnHighlight, Shadow(),
                                            emboss);
            if (image) PaintBitmapTransparent(canvas, x, y, *image, velfw::clMenu);
        } else if (bitmap.Monochrome() && !loweredBox) {
            const COLORREF text = ::SetTextColor(dc, velfw::ColorToRGB(canvas.Font().Color()));
            const COLORREF back = ::SetBkColor(dc, velfw::ColorToRGB(canvas.Brush().Color()));
            ::BitBlt(dc, x, y, w, h, bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
            ::SetTextColor(dc, text);
            ::SetBkColor(dc, back);
        } else {
            PaintBitmapTransparent(canvas, x, y, bitmap, bitmap.TransparentColor() & ~kPaletteRelative);
        }
    }

    void CheckImage(int x, int y, const SIZE& size, bool radio) const {
        if (size.cx <= 0 || size.cy <= 0) return;
        TBitmap mark(size.cx, size.cy);
        RECT r{0, 0, size.cx, size.cy};
        mark.Canvas().FillRect(r, velfw::clWhite);
        ::DrawFrameControl(mark.Canvas().Handle(), &r, DFC_MENU, radio ? DFCS_MENUBULLET : DFCS_MENUCHECK);
        mark.Canvas().Brush().SetColor(velfw::clWhite);
        mark.SetMonochrome(true);
        Bitmap(x, y, mark, disabled);
    }

    void Text(const std::string& text, RECT r, UINT flags, TColor grey) const {
        if (text.empty()) return;
        velfw::TFont& font = canvas.Font();
        if (disabled) {
            const TColor former = font.Color();
            if (emboss) {
                RECT shifted = r;
                ::OffsetRect(&shifted, 1, 1);
                font.SetColor(velfw::clBtnHighlight);
                canvas.DrawText(text, shifted, flags);
            }
            font.SetColor(grey);
            canvas.DrawText(text, r, flags);
            font.SetColor(former);
        } else {
            canvas.DrawText(text, r, flags);
        }
    }
};

}  // namespace

void TKxPopupMenu::DrawMenuItem(TMenuItem* item, RECT rect, TMenuOwnerDrawState state, int buttonStyle,
                                int imageIndex, velfw::TGraphic* graphic, int numGlyphs) {
    ItemInputs in = GatherInputs(canvas_, item, *this, imageIndex, graphic, numGlyphs, state);
    in.Metrics.ButtonStyle = buttonStyle;
    const bool selected = in.State.Selected;
    const bool button = buttonStyle == 1 || buttonStyle == 2;
    if (selected && button) {
        const bool lowered = buttonStyle == 1;
        Frame3D(canvas_, rect, lowered ? velfw::clBtnShadow : velfw::clBtnHighlight,
                lowered ? velfw::clBtnHighlight : velfw::clBtnShadow);
        ::InflateRect(&rect, -1, -1);
    }
    const MenuItemLayout layout = LayoutMenuItem(in.Metrics, CanvasTextWidth(canvas_), in.State);
    const TColor grey = selected && !button ? velfw::clGrayText : velfw::clBtnShadow;
    const ItemPainter paint{canvas_, in.State.Disabled, selected, layout.LoweredBox, layout.Emboss};
    const SIZE check = CheckMarkSize();
    const int midY = (rect.top + rect.bottom) / 2;
    if (layout.DrawCheck)
        paint.CheckImage(rect.left + layout.CheckX, (rect.top + rect.bottom - check.cy) / 2, check, item->RadioItem());

    const RECT box{rect.left + layout.BoxX, rect.top, rect.left + layout.BoxX + layout.BoxWidth, rect.bottom};
    const int x = rect.left + layout.ImageX;
    switch (layout.Column) {
        case ImageColumn::ListImage: {
            if (layout.LoweredBox) paint.LoweredBox(box, grey);
            const int y = (rect.top + rect.bottom - images_->Height()) / 2;
            if (in.State.Disabled)
                PaintDisabledListImage(images_->Handle(), canvas_, x, y, imageIndex, velfw::clBtnHighlight, grey,
                                       layout.Emboss);
            else
                ::ImageList_Draw(images_->Handle(), imageIndex, canvas_.Handle(), x, y, ILD_NORMAL);
            break;
        }
        case ImageColumn::Graphic: {
            if (layout.LoweredBox) paint.LoweredBox(box, grey);
            const int y = (rect.top + rect.bottom - graphic->Height()) / 2;
            auto* bitmap = dynamic_cast<TBitmap*>(graphic);
            if (bitmap && numGlyphs >= 2 && numGlyphs <= 5) {
                TBitmap cell;
                CopyImageCell(bitmap, &cell, numGlyphs, 1, layout.GlyphCell);
                // The strip has its own disabled glyph.
                if (!cell.Empty()) paint.Bitmap(x, y, cell, false);
            } else if (bitmap) {
                paint.Bitmap(x, y, *bitmap, in.State.Disabled);
            } else if (auto* icon = dynamic_cast<velfw::TIcon*>(graphic)) {
                const DisplayIcon shown = DisplayIconOf(*icon);
                ::DrawIconEx(canvas_.Handle(), x, (rect.top + rect.bottom - shown.Height) / 2, shown.Handle.get(),
                             shown.Width, shown.Height, 0, nullptr, DI_NORMAL);
            } else {
                canvas_.Draw(x, y, *graphic);
            }
            break;
        }
        case ImageColumn::MinOffset:
            if (layout.LoweredBox) {
                paint.LoweredBox(box, grey);
                paint.CheckImage(x, (rect.top + rect.bottom - check.cy) / 2 + 1, check, item->RadioItem());
            }
            break;
        case ImageColumn::None:
            break;
    }

    if (!item->IsLine()) {
        canvas_.Brush().SetStyle(velfw::TBrushStyle::bsClear);
        const int y = (rect.top + rect.bottom - canvas_.TextHeight("Ay")) / 2;
        paint.Text(item->Caption(), RECT{rect.left + layout.TextX, y, rect.right, rect.bottom}, layout.TextFlags, grey);
        if (layout.DrawShortCut)
            paint.Text(in.State.Text.ShortCut, RECT{rect.left + layout.ShortCutX, y, rect.right, rect.bottom},
                       layout.TextFlags, grey);
    } else if (in.Metrics.NewShell) {
        canvas_.FillRect(RECT{rect.left, midY - 1, rect.right, midY}, velfw::clBtnShadow);
        canvas_.FillRect(RECT{rect.left, midY, rect.right, midY + 1}, velfw::clBtnHighlight);
    } else {
        canvas_.Pen().SetWidth(2);
        canvas_.Pen().SetColor(velfw::clMenuText);
        canvas_.MoveTo(rect.left, midY);
        canvas_.LineTo(rect.right, midY);
        canvas_.Pen().SetWidth(1);
    }
}

// ---- popup list

TPopupList& PopupList() {
    static TPopupList list;
    return list;
}

void TPopupList::Add(TKxPopupMenu* menu) {
    if (!window_)
        window_ = std::make_unique<velfw::TUtilityWindow>(kPopupListWindowClass, velfw::TUtilityWindowKind::HiddenTopLevel,
                                                          [this](velfw::TMessage& m) { return HandleMessage(m); });
    menus_.push_back(menu);
}

void TPopupList::Remove(TKxPopupMenu* menu) {
    menus_.erase(std::remove(menus_.begin(), menus_.end(), menu), menus_.end());
    if (menus_.empty()) window_.reset();
}

bool TPopupList::HandleMessage(velfw::TMessage& m) {
    // A copy: a click may free a menu, and with it its entry.
    const std::vector<TKxPopupMenu*> menus = menus_;
    switch (m.Msg) {
        case WM_INITMENUPOPUP:
            for (TKxPopupMenu* menu : menus)
                if (menu->DispatchPopup(reinterpret_cast<HMENU>(m.WParam))) {
                    m.Result = 0;
                    return true;
                }
            return false;
        case WM_MENUSELECT:
            return MenuSelect(m);
        case WM_HELP: {
            if (!m.LParam) return false;
            const auto& info = *reinterpret_cast<const HELPINFO*>(m.LParam);
            if (info.cbSize != sizeof(HELPINFO)) return false;
            m.Result = TRUE;
            return Help(info);
        }
        case WM_MENUCHAR:
            return MenuChar(m);
        default:
            return false;
    }
}

bool TPopupList::MenuSelect(velfw::TMessage& m) {
    const UINT flags = HIWORD(m.WParam);
    const auto menuHandle = reinterpret_cast<HMENU>(m.LParam);
    // The menu has closed: nothing to look up.
    if (flags == 0xFFFF && !menuHandle) {
        if (velfw::Application) velfw::Application->SetHint("");
        return false;
    }
    for (TKxPopupMenu* menu : menus_) {
        TMenuItem* item = nullptr;
        if (flags & MF_POPUP) {
            HMENU sub = menuHandle ? ::GetSubMenu(menuHandle, LOWORD(m.WParam)) : nullptr;
            if (sub) item = menu->FindItem(reinterpret_cast<UINT_PTR>(sub), TFindItemKind::fkHandle);
        } else {
            item = menu->FindItem(LOWORD(m.WParam), TFindItemKind::fkCommand);
        }
        if (!item) continue;
        m.Result = 0;
        // The hint's handler may free the menu (a program that rebuilds its
        // menus, say): a freed menu is not read again.
        const velfw::LifeMark::Watch watch = menu->Watched();
        if (velfw::Application) velfw::Application->SetHint(item->Hint);
        if (!watch.Alive()) return true;
        if (menu->Cursor != velfw::crDefault && velfw::Screen)
            ::SetCursor(velfw::Screen->Cursors[flags & MF_HILITE ? menu->Cursor : velfw::crDefault]);
        return true;
    }
    if (velfw::Application) velfw::Application->SetHint("");
    return false;
}

bool TPopupList::Help(const HELPINFO& info) {
    for (TKxPopupMenu* menu : menus_) {
        if (!menu->HandleAllocated() || reinterpret_cast<HANDLE>(menu->Handle()) != info.hItemHandle) continue;
        const auto contextOf = [menu](UINT_PTR value, TFindItemKind kind) {
            const TMenuItem* item = menu->FindItem(value, kind);
            return item ? item->HelpContext : 0;
        };
        int context = contextOf(static_cast<UINT>(info.iCtrlId), TFindItemKind::fkCommand);
        if (context == 0) context = contextOf(reinterpret_cast<UINT_PTR>(info.hItemHandle), TFindItemKind::fkHandle);
        velfw::TForm* form = velfw::Screen ? velfw::Screen->ActiveForm() : nullptr;
        if (context != 0 && form && velfw::Application) {
            // A form with the caption's help button shows the topic as a pop-up beside the item.
            if (form->BorderIcons & velfw::biHelp)
                velfw::Application->HelpCommand(HELP_CONTEXTPOPUP, static_cast<ULONG_PTR>(context));
            else
                velfw::Application->HelpContext(context);
        }
        return true;
    }
    return false;
}

bool TPopupList::MenuChar(velfw::TMessage& m) {
    const auto handle = static_cast<UINT_PTR>(m.LParam);
    for (TKxPopupMenu* menu : menus_) {
        TMenuItem* parent = menu->HandleAllocated() && reinterpret_cast<UINT_PTR>(menu->Handle()) == handle
                                ? menu->Items()
                                : menu->FindItem(handle, TFindItemKind::fkHandle);
        if (!parent) continue;
        // The visible item whose caption marks the character, by its place in the menu.
        const char key = static_cast<char>(LOWORD(m.WParam));
        int position = 0;
        m.Result = MAKELRESULT(0, MNC_IGNORE);
        for (int i = 0; i < parent->Count(); ++i) {
            TMenuItem* item = parent->Items(i);
            if (!item->Visible()) continue;
            if (velfw::IsAccel(key, item->Caption())) {
                m.Result = MAKELRESULT(position, MNC_EXECUTE);
                break;
            }
            ++position;
        }
        return true;
    }
    return false;
}

}  // namespace kx
