// The node driver sees the environment as a native program does (XDG_RUNTIME_DIR for the
// editor's test file, for one).
Module['preRun'] = (Module['preRun'] || []).concat(function () {
  Object.assign(ENV, process.env);
});
