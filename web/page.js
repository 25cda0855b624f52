'use strict';
// The window in the browser: the controls are built from the core's window
// table, every event goes to the core, and after each call the page shows
// the state the core holds.
(() => {
  const client = document.getElementById('client');
  const unsupported = document.getElementById('unsupported');
  let core = null;
  let timer = 0;
  let beforeCall = () => {};

  // Whatever went wrong, the window says so in words instead of half working.
  function fail() {
    clearInterval(timer);
    core = null;
    for (const el of client.children) el.hidden = el !== unsupported;
  }

  // Every call into the core from an event goes through here.
  const guard = (f) => (...args) => {
    if (!core) return;
    try {
      beforeCall();
      f(...args);
    } catch (e) {
      fail();
    }
  };

  if (typeof WebAssembly !== 'object') return fail();
  const bytes = Uint8Array.from(atob(document.getElementById('module').textContent.trim()), (c) => c.charCodeAt(0));
  // The C library calls out only to write to stderr before an abort.
  const noSystem = new Proxy({}, { get: () => () => 52 });
  WebAssembly.instantiate(bytes, { wasi_snapshot_preview1: noSystem })
    .then(({ instance }) => start(instance.exports))
    .catch(fail);

  function start(ex) {
    ex._initialize();
    core = ex;
    const decoder = new TextDecoder();
    const encoder = new TextEncoder();
    const text = (ptr) => decoder.decode(new Uint8Array(ex.memory.buffer, ptr, ex.textLength()));
    // Into the core's buffer; the size in bytes.
    const put = (s) => {
      const utf8 = encoder.encode(s);
      // alloc first: growing the memory replaces its buffer.
      const at = ex.alloc(utf8.length);
      new Uint8Array(ex.memory.buffer, at, utf8.length).set(utf8);
      return utf8.length;
    };
    const place = (el, c) => Object.assign(el.style,
      { left: c.left + 'px', top: c.top + 'px', width: c.width + 'px', height: c.height + 'px' });
    const table = JSON.parse(text(ex.windowTable()));
    const byName = {};
    const toggles = [];
    const textBoxes = [];
    let canvas = null;
    let help = null;

    document.title = table.caption;
    place(client, { left: 0, top: 0, width: table.width, height: table.height });
    for (const [z, c] of table.controls.entries()) {
      c.el = create(c);
      c.el.style.zIndex = z;
      place(c.el, c);
      if (c.colour) c.el.style.color = c.colour;
      byName[c.name] = c;
    }
    // Tab order is document order: what takes no focus (-1) first, then the
    // rest as the table numbers them. The stacking stays the table's.
    for (const c of table.controls.slice().sort((a, b) => a.tabIndex - b.tabIndex)) client.append(c.el);

    function name(el, c) {
      if (c.accessibleName) el.setAttribute('aria-label', c.accessibleName);
      if (c.accessibleDescription) el.setAttribute('aria-description', c.accessibleDescription);
      el.id = c.name;
      return el;
    }

    function create(c) {
      if (c.kind === 'surface') {
        const plot = c.name === 'Picture1';
        const el = document.createElement(plot ? 'canvas' : 'div');
        el.setAttribute('role', plot ? 'img' : 'document');
        if (plot) canvas = el;
        else help = el;
        return name(el, c);
      }
      if (c.kind === 'label' || c.kind === 'button') {
        const el = document.createElement(c.kind === 'label' ? 'div' : 'button');
        el.textContent = c.caption;
        if (c.kind === 'button') {
          el.type = 'button';
          el.addEventListener('click', guard(() => press(c)));
        }
        return name(el, c);
      }
      const input = document.createElement('input');
      if (c.kind === 'textbox') {
        Object.assign(input, { type: 'text', value: c.caption, spellcheck: false, autocomplete: 'off' });
        textBoxes.push(c);
        return name(input, c);
      }
      // A check box or an option button, its caption its label.
      input.type = c.kind === 'checkbox' ? 'checkbox' : 'radio';
      input.checked = c.value !== 0;
      input.addEventListener('change', guard(() => {
        if (input.type === 'checkbox' || input.checked) ex.setValue(c.id, input.checked ? 1 : 0);
        sync(false);
      }));
      const caption = document.createElement('span');
      caption.textContent = c.caption;
      const el = document.createElement('label');
      el.className = 'toggle';
      el.append(name(input, c), caption);
      c.input = input;
      toggles.push(c);
      return el;
    }

    function press(c) {
      // Apply reads the boxes as they are now.
      const apply = c === byName.Command1;
      if (apply) for (const box of textBoxes) ex.setText(box.id, put(box.el.value));
      ex.click(c.id);
      sync(apply);
    }

    function averageCharWidth(g) {
      const letters = 'abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ';
      return g.measureText(letters).width / letters.length;
    }

    // The plot's texts are numbers only: their glyphs are drawn once for the
    // pixel ratio in the browser's sans-serif, 12 pixels as on the desktop.
    function uploadGlyphs(ratio) {
      const g = document.createElement('canvas').getContext('2d', { willReadFrequently: true });
      const font = 12 * ratio + 'px sans-serif';
      g.font = font;
      const m = g.measureText('0');
      const ascent = m.fontBoundingBoxAscent ?? 9.6 * ratio;
      const lineHeight = ascent + (m.fontBoundingBoxDescent ?? 2.4 * ratio);
      const pad = Math.ceil(2 * ratio);
      for (const ch of '0123456789.,()-') {
        const advance = g.measureText(ch).width;
        const w = Math.ceil(advance) + 2 * pad;
        const h = Math.ceil(lineHeight);
        Object.assign(g.canvas, { width: w, height: h });
        g.font = font;
        g.fillStyle = '#fff';
        // On a whole pixel, as text lines are laid out.
        g.fillText(ch, pad, Math.round(ascent));
        const rgba = g.getImageData(0, 0, w, h).data;
        const at = ex.alloc(w * h);
        const mask = new Uint8Array(ex.memory.buffer, at, w * h);
        for (let i = 0; i < w * h; ++i) mask[i] = rgba[4 * i + 3];
        ex.setGlyph(ch.charCodeAt(0), advance / ratio, -pad, 0, w, h);
      }
      ex.setPlotFont(lineHeight / ratio, averageCharWidth(g) / ratio);
    }

    // The help font at its design size, smaller where the face at hand would
    // run the longest lines past the panel's edge.
    function fitHelpFont() {
      const family = getComputedStyle(help).fontFamily;
      const lines = text(ex.helpText()).split('\n');
      const g = document.createElement('canvas').getContext('2d');
      let size = 19;
      for (;; size -= 0.25) {
        g.font = size + 'px ' + family;
        const widest = Math.max(...lines.map((line) => g.measureText(line).width));
        // Body lines stand one column in.
        if (averageCharWidth(g) + widest <= byName.PicHelp.width || size <= 8) break;
      }
      const m = g.measureText('ヘルプ');
      const lineHeight = m.fontBoundingBoxAscent + m.fontBoundingBoxDescent || size * 1.2;
      Object.assign(help.style, { fontSize: size + 'px', lineHeight: lineHeight + 'px' });
      ex.setHelpFont(lineHeight, averageCharWidth(g));
    }

    function showHelpPage() {
      for (const line of JSON.parse(text(ex.helpLines()))) {
        const span = document.createElement('span');
        span.textContent = line.text;
        Object.assign(span.style, { left: line.x + 'px', top: line.y + 'px' });
        help.append(span);
      }
    }

    const context = canvas.getContext('2d');
    let image = null;
    let shown = -1;
    let described = -Infinity;

    // Copies a new frame straight from the core's memory.
    function show() {
      const n = ex.presented();
      if (n === shown) return;
      shown = n;
      const w = ex.deviceWidth();
      const h = ex.deviceHeight();
      const at = ex.pixels();
      if (canvas.width !== w || canvas.height !== h) Object.assign(canvas, { width: w, height: h });
      // A view dies when the memory grows.
      const data = image && image.data;
      if (!data || data.buffer !== ex.memory.buffer || data.byteOffset !== at || image.width !== w || image.height !== h)
        image = new ImageData(new Uint8ClampedArray(ex.memory.buffer, at, w * h * 4), w, h);
      context.putImageData(image, 0, 0);
    }

    // A screen reader hears the crests of the frame on screen: at once when
    // the plot stands still or starts anew, at most twice a second as it moves.
    function tellPlot(now) {
      const t = performance.now();
      if (!now && t - described < 500) return;
      described = t;
      canvas.setAttribute('aria-description', text(ex.plotDescription()));
    }

    function sync(applied) {
      for (const c of toggles) {
        c.input.checked = ex.value(c.id) !== 0;
        c.input.disabled = !ex.enabled(c.id);
        c.el.classList.toggle('disabled', c.input.disabled);
      }
      const helpInFront = ex.front() === byName.PicHelp.id;
      help.hidden = !helpInFront;
      canvas.hidden = helpInFront;
      const running = ex.timerEnabled() !== 0;
      if (running && !timer) timer = setInterval(tick, ex.timerInterval());
      if (!running && timer) {
        clearInterval(timer);
        timer = 0;
      }
      show();
      tellPlot(applied || !running);
    }

    const tick = guard(() => {
      ex.tick();
      show();
      tellPlot(false);
    });

    // A move to a screen of another density, or a zoom: the next frame is
    // drawn sharp. Asked before each call rather than told by a media query,
    // whose change event can come late.
    let ratio = devicePixelRatio;
    beforeCall = () => {
      if (devicePixelRatio === ratio) return;
      ratio = devicePixelRatio;
      uploadGlyphs(ratio);
      ex.setDevicePixelRatio(ratio);
    };

    ex.init(ratio);
    uploadGlyphs(ratio);
    fitHelpFont();
    ex.load();
    showHelpPage();
    sync(true);
    byName.Command1.el.focus();
    // For tests: the core's state as JSON text.
    window.solitonsState = () => text(ex.state());
  }
})();
