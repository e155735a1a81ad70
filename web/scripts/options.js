// The encoding options of the form, as the module takes them and as the
// same encode is written on the command line.

// The module's options: every field left empty is an option not given, as
// on the command line.
export function optionsFromForm(form) {
  const field = (name) => form.elements[name].value.trim();
  const options = {};
  for (const name of ['path', 'family', 'quality', 'dither']) {
    if (field(name) !== '') options[name] = field(name);
  }
  if (options.dither === 'none') delete options.dither;
  const goal = field('goal');
  if (goal !== '') options[goal] = field('goalValue');
  if (field('effort') !== '5') options.effort = field('effort');
  const background = field('background');
  if (background !== '#ffffff') options.background = background.slice(1);
  return options;
}

const kOptionFlags = {
  path: '--path', family: '--family', quality: '--quality', maxBytes: '--max-bytes',
  minPsnr: '--min-psnr', dither: '--dither', effort: '--effort', background: '--background',
};

// "vexo encode logo.png logo.vxo --path transform --quality 24"
export function commandLine(pictureName, options) {
  const words = ['vexo', 'encode', shellWord(pictureName), shellWord(vexoNameFor(pictureName))];
  for (const [name, flag] of Object.entries(kOptionFlags)) {
    if (options[name] !== undefined) words.push(flag, shellWord(String(options[name])));
  }
  return words.join(' ');
}

function shellWord(word) {
  return /^[\w@%+=:,./-]+$/.test(word) ? word : `'${word.replaceAll("'", "'\\''")}'`;
}

// "logo.png" gives "logo.vxo", as `vexo encode` names a picture's file.
export function vexoNameFor(pictureName) {
  return `${stemOf(pictureName)}.vxo`;
}

export function stemOf(name) {
  const dot = name.lastIndexOf('.');
  return dot > 0 ? name.slice(0, dot) : name;
}
