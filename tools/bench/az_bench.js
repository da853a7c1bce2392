// Times the npm package az on a word list (one word a line, UTF-8): every word's parses, each
// with its lemma and grammar, written to OUTPUT in large pieces.
//
//   node az_bench.js AZ_PACKAGE_DIR WORDS OUTPUT
'use strict';
const fs = require('fs');
const path = require('path');

const [azDir, wordsPath, outputPath] = process.argv.slice(2);
if (!outputPath) {
  console.error('usage: node az_bench.js AZ_PACKAGE_DIR WORDS OUTPUT');
  process.exit(2);
}
const Az = require(path.resolve(azDir));
Az.Morph.init(path.join(path.resolve(azDir), 'dicts'), (err) => {
  if (err) {
    console.error(err);
    process.exit(1);
  }
  const words = fs.readFileSync(wordsPath, 'utf8').split('\n').filter((w) => w.length > 0);
  const out = fs.openSync(outputPath, 'w');
  let piece = '';
  for (const word of words) {
    const parses = Az.Morph(word);
    piece += word + '{' +
        parses.map((p) => p.normalize().word + '=' + p.tag.toString()).join('|') + '}\n';
    if (piece.length > (1 << 16)) {
      fs.writeSync(out, piece);
      piece = '';
    }
  }
  fs.writeSync(out, piece);
  fs.closeSync(out);
  console.error(words.length);
});
