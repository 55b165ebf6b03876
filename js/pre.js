// Inserted by emcc (--pre-js) at the top of the loader's factory.  The
// loader is an ES module, where Node has no __dirname; _scriptDir is the
// loader's import.meta.url.  index.mjs hands the module its .wasm bytes in
// Node, so nothing else of CommonJS is used.
var __dirname = typeof _scriptDir == "string" && _scriptDir.startsWith("file:")
    ? new URL(".", _scriptDir).pathname : ".";
