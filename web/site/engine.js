// The WebAssembly engine behind a small object: text in and out, frames drawn.
import createPlayground from './playground.mjs';

const encoder = new TextEncoder();
const decoder = new TextDecoder();

export const SECTION_NAMES = ['init', 'frame', 'beat', 'triangle'];

export async function loadEngine() {
  const m = await createPlayground();

  const putText = (text) => {
    const bytes = encoder.encode(text);
    const at = m._pg_input(bytes.length);
    m.HEAPU8.set(bytes, at);
    return bytes.length;
  };
  const result = () => decoder.decode(m.HEAPU8.subarray(m._pg_result(), m._pg_result() + m._pg_result_length()));
  const putChannel = (allocate, channel, samples) => {
    const at = allocate(channel, samples.length);
    m.HEAPF32.set(samples, at >> 2);
  };

  return {
    start: (width, height) => m._pg_start(width, height) === 1,
    setSection: (index, text) => m._pg_set_section(index, putText(text)),
    editSection: (index, text) => m._pg_edit_section(index, putText(text)),
    section: (index) => { m._pg_section(index); return result(); },
    sections() { return SECTION_NAMES.map((_, s) => this.section(s)); },
    setBlend: (mode, ratio) => m._pg_set_blend(mode, ratio),
    // Bits: 1 the scripts were recompiled, 2 it was a beat frame.
    renderFrame: (musicFrame, beatPressed) => m._pg_render_frame(musicFrame, beatPressed ? 1 : 0),
    framesDrawn: () => m._pg_frames_drawn(),
    recompileCounter: () => m._pg_recompile_counter(),
    width: () => m._pg_width(),
    height: () => m._pg_height(),
    rgba() {
      const at = m._pg_rgba();
      return new Uint8ClampedArray(m.HEAPU8.buffer, at, this.width() * this.height() * 4);
    },
    frameWords() {
      const at = m._pg_frame_words();
      return new Uint32Array(m.HEAPU8.buffer, at, this.width() * this.height()).slice();
    },
    // {line, column, message} or null when the section compiled.
    diagnostic(index) {
      if (m._pg_diagnostic(index) !== 1) return null;
      const [line, column, message] = result().split('\t');
      return { line: Number(line), column: Number(column), message };
    },
    // Reads preset file bytes into the sections: null, or the reason it is not a preset.
    readPreset(bytes) {
      const at = m._pg_input(bytes.length);
      m.HEAPU8.set(bytes, at);
      return m._pg_read_preset(bytes.length) === 1 ? null : result();
    },
    // {text} or {error}.
    writePreset: () => (m._pg_write_preset() === 1 ? { text: result() } : { error: result() }),
    // Two channels at 44100 Hz; returns the frames the song covers.
    setSong(left, right) {
      putChannel(m._pg_song_channel, 0, left);
      putChannel(m._pg_song_channel, 1, right);
      return m._pg_song_ready();
    },
    songLog: (frames) => { m._pg_song_log(frames); return result(); },
    pushLive(left, right) {
      putChannel(m._pg_live_channel, 0, left);
      putChannel(m._pg_live_channel, 1, right);
      m._pg_live_push();
    },
    // 'silence', 'song' or 'live'.
    setMusicSource: (source) => m._pg_music_source({ silence: 0, song: 1, live: 2 }[source] ?? 0),
  };
}
