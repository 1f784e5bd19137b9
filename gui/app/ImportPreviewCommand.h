// zarvel --preview-import FILE [--layout NAME] [--home]: what an import of the file would make of each row, printed
// as tab-separated lines without a window (ImportPreview.h), with the lists and the mappings of the
// installation in the current directory (or the user's own with --home); the layout named when its
// guess is not wanted (UseLayoutNamed).
#pragma once

// Whether the command line asks for the preview.
bool AsksImportPreview(int argc, char **argv);
// Prints the preview; 0 when the file could be read, 1 when not (told on the error stream), 2 for a
// command line without the file.
int RunImportPreview(int argc, char **argv);
