#include "settings/settings_view_gtk.h"

#include <csignal>

#include "report/report.h"
#include "settings/run_settings.h"

namespace sylvora {
namespace {

// Where a widget keeps the id of its control for the signal handlers.
constexpr const char* kControlIdKey = "sylvora-control-id";

// The dialog's font, an 8 point sans-serif face, on every widget (the dialog units are measured in it), and
// padding small enough that each control fits the cell the
// template gives it, as the Windows controls of the same size do.
constexpr const char* kDialogStyle =
    ".sylvora-settings, .sylvora-settings * { font-family: Sans; font-size: 8pt; }\n"
    ".sylvora-settings button { min-height: 0; min-width: 0; padding: 1px 4px; }\n"
    ".sylvora-settings combobox button { padding: 0 2px 0 4px; }\n"
    ".sylvora-settings checkbutton { padding: 0; }\n"
    ".sylvora-settings check { min-width: 11px; min-height: 11px; margin: 0 4px 0 0; }\n"
    ".sylvora-settings frame > border { border-radius: 0; }\n";

int ControlIdOf(gpointer widget) { return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), kControlIdKey)); }

SettingsView& ViewOf(gpointer view) { return *static_cast<SettingsView*>(view); }

}  // namespace

SettingsView::SettingsView(SettingsDialog& dialog) : dialog_(dialog) {
  style_ = gtk_css_provider_new();
  gtk_css_provider_load_from_data(style_, kDialogStyle, -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(style_),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);

  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_style_context_add_class(gtk_widget_get_style_context(window_), "sylvora-settings");
  gtk_window_set_title(GTK_WINDOW(window_), kSettingsCaption);
  gtk_window_set_modal(GTK_WINDOW(window_), TRUE);
  gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
  gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
  units_ = MeasureUnits(window_);

  GtkWidget* surface = gtk_fixed_new();
  const PixelRect client = ToPixels({0, 0, kSettingsWidth, kSettingsHeight}, units_);
  gtk_widget_set_size_request(surface, client.width, client.height);
  gtk_container_add(GTK_CONTAINER(window_), surface);
  for (int index = 0; index < kSettingsControlCount; ++index) {
    const ControlTemplate& control = kSettingsControls[index];
    const PixelRect place = ToPixels(control.rect, units_);
    widgets_[index] = MakeWidget(control);
    gtk_fixed_put(GTK_FIXED(surface), widgets_[index], place.x, place.y);
    Connect(widgets_[index], control.id, control.kind);
  }
  TieLabels();
  SetTabOrder(surface);
  g_signal_connect(window_, "key-press-event", G_CALLBACK(OnKeyPress), this);
  g_signal_connect(window_, "delete-event", G_CALLBACK(OnDelete), this);
  g_signal_connect(window_, "map-event", G_CALLBACK(OnMapped), this);
  gtk_widget_show_all(surface);  // only the window itself waits for Show
  Draw();
}

SettingsView::~SettingsView() {
  gtk_widget_destroy(window_);
  gtk_style_context_remove_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(style_));
  g_object_unref(style_);
}

// The average width of the alphabet's 52 letters and the font's ascent plus descent, as Windows measures
// a dialog font; the font is the one the style gives the window.
DialogBaseUnits SettingsView::MeasureUnits(GtkWidget* widget) {
  PangoFontDescription* font = nullptr;
  gtk_style_context_get(gtk_widget_get_style_context(widget), GTK_STATE_FLAG_NORMAL, GTK_STYLE_PROPERTY_FONT, &font,
                        nullptr);
  PangoLayout* sample = gtk_widget_create_pango_layout(widget, kAverageWidthSample);
  pango_layout_set_font_description(sample, font);
  int width = 0;
  pango_layout_get_pixel_size(sample, &width, nullptr);
  PangoFontMetrics* metrics = pango_context_get_metrics(gtk_widget_get_pango_context(widget), font, nullptr);
  const int height = PANGO_PIXELS(pango_font_metrics_get_ascent(metrics) + pango_font_metrics_get_descent(metrics));
  pango_font_metrics_unref(metrics);
  g_object_unref(sample);
  pango_font_description_free(font);
  return {AverageCharWidth(width), height};
}

GtkWidget* SettingsView::MakeWidget(const ControlTemplate& control) {
  const PixelRect place = ToPixels(control.rect, units_);
  GtkWidget* widget = nullptr;
  int height = place.height;
  switch (control.kind) {
    case ControlKind::DefaultButton:
    case ControlKind::Button:
      widget = gtk_button_new_with_mnemonic(MnemonicText(control.text, control.accessKey).c_str());
      break;
    case ControlKind::GroupBox:
      widget = gtk_frame_new(control.text);
      break;
    case ControlKind::CheckBox:
      widget = gtk_check_button_new_with_mnemonic(MnemonicText(control.text, control.accessKey).c_str());
      break;
    case ControlKind::Label:
      widget = gtk_label_new_with_mnemonic(MnemonicText(control.text, control.accessKey).c_str());
      gtk_label_set_xalign(GTK_LABEL(widget), 0.0f);
      gtk_label_set_yalign(GTK_LABEL(widget), 0.0f);
      break;
    case ControlKind::List:
      // The template's height is the dropped-down list's; the closed box takes its natural height.
      widget = gtk_combo_box_text_new();
      height = -1;
      break;
  }
  gtk_widget_set_size_request(widget, place.width, height);
  if (control.kind == ControlKind::DefaultButton) {
    gtk_widget_set_can_default(widget, TRUE);
    gtk_window_set_default(GTK_WINDOW(window_), widget);
  }
  g_object_set_data(G_OBJECT(widget), kControlIdKey, GINT_TO_POINTER(control.id));
  return widget;
}

void SettingsView::Connect(GtkWidget* widget, int id, ControlKind kind) {
  if (id == kNoControlId) return;
  switch (kind) {
    case ControlKind::DefaultButton:
    case ControlKind::Button:
      g_signal_connect(widget, "clicked", G_CALLBACK(OnClicked), this);
      break;
    case ControlKind::CheckBox:
      g_signal_connect(widget, "toggled", G_CALLBACK(OnToggled), this);
      break;
    case ControlKind::List:
      g_signal_connect(widget, "changed", G_CALLBACK(OnChanged), this);
      g_signal_connect(widget, "notify::popup-shown", G_CALLBACK(OnPopupShown), this);
      break;
    case ControlKind::GroupBox:
    case ControlKind::Label:
      break;
  }
}

// Each label names its list: its access key takes the keyboard there, and assistive technology reads
// the label as the list's name (GTK relates the two both ways).
void SettingsView::TieLabels() {
  for (int index = 0; index < kSettingsControlCount; ++index) {
    const ControlTemplate& control = kSettingsControls[index];
    if (control.kind == ControlKind::Label && control.labelFor != kNoControlId) {
      gtk_label_set_mnemonic_widget(GTK_LABEL(widgets_[index]), Widget(control.labelFor));
    }
  }
}

// Tab goes as the dialog is read, not by position across both columns as GTK would take it.
void SettingsView::SetTabOrder(GtkWidget* surface) {
  GList* chain = nullptr;
  for (int id : kTabOrder) chain = g_list_append(chain, Widget(id));
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_container_set_focus_chain(GTK_CONTAINER(surface), chain);
  G_GNUC_END_IGNORE_DEPRECATIONS
  g_list_free(chain);
}

GtkWidget* SettingsView::Widget(int id) const {
  for (int index = 0; index < kSettingsControlCount; ++index) {
    if (kSettingsControls[index].id == id && id != kNoControlId) return widgets_[index];
  }
  return nullptr;
}

void SettingsView::Draw() {
  for (int index = 0; index < kSettingsControlCount; ++index) {
    const ControlTemplate& control = kSettingsControls[index];
    if (control.id == kNoControlId) continue;
    GtkWidget* widget = widgets_[index];
    const ControlState& state = dialog_.Control(control.id);
    g_signal_handlers_block_matched(widget, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
    gtk_widget_set_sensitive(widget, state.enabled);
    if (control.kind == ControlKind::CheckBox) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), state.checked);
    if (control.kind == ControlKind::List) DrawList(widget, control.id, state);
    g_signal_handlers_unblock_matched(widget, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
  }
}

// Refills the list only when its entries differ from the controller's, then shows the selection.
void SettingsView::DrawList(GtkWidget* widget, int id, const ControlState& state) {
  GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(widget));
  if (gtk_tree_model_iter_n_children(model, nullptr) != state.entryCount) {
    gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(widget));
    const auto entries = ListEntries(id);
    for (int position = 0; position < state.entryCount; ++position) {
      gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(widget), entries[position]);
    }
  }
  gtk_combo_box_set_active(GTK_COMBO_BOX(widget), state.selection);
}

void SettingsView::Show() {
  GtkRequisition size;
  gtk_widget_get_preferred_size(window_, &size, nullptr);
  Centre(size.width, size.height);
  gtk_widget_show(window_);
}

// Moves the window so that a window of the given outer size sits centred on the primary monitor.
void SettingsView::Centre(int windowWidth, int windowHeight) {
  GdkDisplay* display = gtk_widget_get_display(window_);
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (monitor == nullptr) monitor = gdk_display_get_monitor(display, 0);
  GdkRectangle screen = {0, 0, 0, 0};
  if (monitor != nullptr) gdk_monitor_get_geometry(monitor, &screen);
  const ScreenPoint origin = CentredOrigin(screen.width, screen.height, windowWidth, windowHeight);
  gtk_window_move(GTK_WINDOW(window_), screen.x + origin.x, screen.y + origin.y);
}

void SettingsView::OnClicked(GtkButton* button, gpointer view) {
  ViewOf(view).dialog_.Command(ControlIdOf(button));
  ViewOf(view).Draw();
}

void SettingsView::OnToggled(GtkToggleButton* box, gpointer view) {
  ViewOf(view).dialog_.BoxToggled(ControlIdOf(box), gtk_toggle_button_get_active(box));
  ViewOf(view).Draw();
}

void SettingsView::OnChanged(GtkComboBox* list, gpointer view) {
  ViewOf(view).dialog_.ListChosen(ControlIdOf(list), gtk_combo_box_get_active(list));
  ViewOf(view).Draw();
}

// Closing a list's drop-down is a notification of its own: the list's command runs even when the user
// picked the entry already shown.
void SettingsView::OnPopupShown(GObject* list, GParamSpec*, gpointer view) {
  gboolean shown = FALSE;
  g_object_get(list, "popup-shown", &shown, nullptr);
  if (shown) return;
  ViewOf(view).dialog_.Command(ControlIdOf(list));
  ViewOf(view).Draw();
}

// Escape cancels. Enter presses OK, the default button, unless a push button has the focus, which then
// takes the key itself.
gboolean SettingsView::OnKeyPress(GtkWidget* window, GdkEventKey* event, gpointer view) {
  SettingsView& self = ViewOf(view);
  int command = kNoControlId;
  if (event->keyval == GDK_KEY_Escape) command = kCancelButton;
  if (event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter || event->keyval == GDK_KEY_ISO_Enter) {
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window));
    const bool buttonFocused = focus == self.Widget(kOkButton) || focus == self.Widget(kCancelButton);
    if (!buttonFocused) command = kOkButton;
  }
  if (command == kNoControlId) return FALSE;
  self.dialog_.Command(command);
  self.Draw();
  return TRUE;
}

// The close box is Cancel; the window itself stays until the dialog's runner destroys it.
gboolean SettingsView::OnDelete(GtkWidget*, GdkEvent*, gpointer view) {
  ViewOf(view).dialog_.Command(kCancelButton);
  ViewOf(view).Draw();
  return TRUE;
}

// Once a window manager has framed the window, centre it again by its real outer size; then take the
// keyboard, as a modal dialog does when it opens (with no window manager nobody else gives it).
gboolean SettingsView::OnMapped(GtkWidget* window, GdkEvent*, gpointer view) {
  GdkRectangle frame;
  gdk_window_get_frame_extents(gtk_widget_get_window(window), &frame);
  int width = 0;
  int height = 0;
  gtk_window_get_size(GTK_WINDOW(window), &width, &height);
  if (frame.width != width || frame.height != height) ViewOf(view).Centre(frame.width, frame.height);
  gtk_window_present(GTK_WINDOW(window));
  return FALSE;
}

int RunSettingsDialog(Options& options, Report* report, const OptionsPlace& place) {
  // SDL turned these signals into quit events, which nobody reads while the dialog runs; a dialog
  // that is told to stop ends at once, saving nothing, as Cancel does.
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
  if (!gtk_init_check(nullptr, nullptr)) {
    report->AddMessage(1, MessageKind::Error, "A0", "RunSettingsDialog", "the settings dialog could not open a display");
    // GTK says no more than this: which display it tried.
    const char* display = gdk_get_display_arg_name();
    if (!display) display = g_getenv("DISPLAY");
    report->AddMessage(1, MessageKind::Warning, "A0", "RunSettingsDialog",
                       std::string("reason: cannot open display \"") + (display ? display : "") + "\"");
    return -1;
  }
  SettingsDialog dialog(options, report, place);
  dialog.Open();
  {
    SettingsView view(dialog);
    view.Show();
    while (!dialog.Closed()) gtk_main_iteration();
  }
  while (gtk_events_pending()) gtk_main_iteration();
  return dialog.Result();
}

}  // namespace sylvora
