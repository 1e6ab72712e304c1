// Keeps a library target valid before any folder has added files to it.
