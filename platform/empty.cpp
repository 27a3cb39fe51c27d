// Keeps the core library linkable while it has no sources of its own.
