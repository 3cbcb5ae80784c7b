#include "platform/message_box_gtk.h"

#include <gtk/gtk.h>

#include <csignal>

namespace sylvora {
namespace {

// With no window manager nobody gives a new window the keyboard; a box takes it once mapped, as a
// modal box does on any desktop.
gboolean TakeKeyboardWhenMapped(GtkWidget* box, GdkEvent*, gpointer) {
  gtk_window_present(GTK_WINDOW(box));
  return FALSE;
}

}  // namespace

bool ShowGtkMessageBox(const std::string& text, const std::string& caption) {
  if (!gtk_init_check(nullptr, nullptr)) return false;
  // SDL turned these signals into quit events, which nobody reads while the box waits; the program is
  // ending after its box anyway, so a request to stop ends it at once.
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
  GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER, GTK_BUTTONS_OK, "%s",
                                          text.c_str());
  gtk_window_set_title(GTK_WINDOW(box), caption.c_str());
  gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
  gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
  gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
  g_signal_connect(box, "map-event", G_CALLBACK(TakeKeyboardWhenMapped), nullptr);
  gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  while (gtk_events_pending()) gtk_main_iteration();
  return true;
}

}  // namespace sylvora
