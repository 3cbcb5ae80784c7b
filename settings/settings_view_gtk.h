#pragma once
// The settings dialog's GTK 3 view: a modal window laid out from the dialog template in dialog units on a
// GtkFixed. It keeps no settings of its own: every widget signal goes to the SettingsDialog by control id,
// and after each one the widgets are redrawn from the controller's control states.
#include <gtk/gtk.h>

#include <array>

#include "settings/dialog_template.h"
#include "settings/settings_dialog.h"

namespace sylvora {

class SettingsView {
 public:
  // Builds the window and its controls (hidden) and draws the dialog's current control states.
  // GTK must be initialised.
  explicit SettingsView(SettingsDialog& dialog);
  ~SettingsView();
  SettingsView(const SettingsView&) = delete;
  SettingsView& operator=(const SettingsView&) = delete;

  // Centres the window on the screen and shows it.
  void Show();
  // Copies every control state of the dialog into its widget, without echoing signals back.
  void Draw();

  GtkWidget* Window() const { return window_; }
  // The widget made from template entry index (0 .. kSettingsControlCount - 1).
  GtkWidget* WidgetAt(int index) const { return widgets_[index]; }
  // The widget of control id; nullptr for an id the template lacks.
  GtkWidget* Widget(int id) const;
  // The pixel size of the dialog units, from the dialog's font.
  const DialogBaseUnits& Units() const { return units_; }

 private:
  GtkWidget* MakeWidget(const ControlTemplate& control);
  void Connect(GtkWidget* widget, int id, ControlKind kind);
  void TieLabels();
  void SetTabOrder(GtkWidget* surface);
  void DrawList(GtkWidget* widget, int id, const ControlState& state);
  void Centre(int windowWidth, int windowHeight);
  static DialogBaseUnits MeasureUnits(GtkWidget* widget);

  // Signal handlers; data is the view, the control id sits on the widget.
  static void OnClicked(GtkButton* button, gpointer view);
  static void OnToggled(GtkToggleButton* box, gpointer view);
  static void OnChanged(GtkComboBox* list, gpointer view);
  static void OnPopupShown(GObject* list, GParamSpec* property, gpointer view);
  static gboolean OnKeyPress(GtkWidget* window, GdkEventKey* event, gpointer view);
  static gboolean OnDelete(GtkWidget* window, GdkEvent* event, gpointer view);
  static gboolean OnMapped(GtkWidget* window, GdkEvent* event, gpointer view);

  SettingsDialog& dialog_;
  GtkCssProvider* style_ = nullptr;
  GtkWidget* window_ = nullptr;
  DialogBaseUnits units_;
  std::array<GtkWidget*, kSettingsControlCount> widgets_{};
};

}  // namespace sylvora
