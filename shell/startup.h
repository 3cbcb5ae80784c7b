#pragma once
// The order in which the shell brings everything up and takes it down again.
namespace sylvora {

// Texts of the boxes the shell shows.
extern const char* const kProgramTitle;        // window title and fatal-box caption
extern const char* const kInstallPathMissingText;
extern const char* const kInstallPathMissingCaption;

// Runs in every mode right after the window exists: reads the installation directory, creates the
// Report and records the start messages. 0 = ready; 2 = the directory is unknown (the user was told).
int A0_InitWindow();
// Full-screen start-up: layers, input, video, audio, options, shared resources, the first scene and
// the ambient sound. 0 = running; 2 = start-up failed and Shutdown(2) has run.
int A0_Open();
// The single way out of full-screen mode. code 0 is a normal exit (options are saved); any other code
// is a failure (the window is hidden and the Report's fatal text shown). Runs once per A0_Open: a
// later call, such as the window closing after an exit test already shut down, does nothing.
void Shutdown(int code);
// What is left of Shutdown(0) when a screen-saver daemon's display connection is lost, or the run
// outlives its window: the options are saved, unless Shutdown already dealt with them (nothing on that
// display can be released any more). The window adapter calls it, on whichever thread finds out, and
// the process then ends with exit code 0.
void SaveOptionsOnDisplayLost();

}  // namespace sylvora
