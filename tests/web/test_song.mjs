// A click track with known beats, made by the test: a short low thump with a
// noisy click on every beat, stereo WAV at 44100 Hz in 16-bit or 32-bit float samples.
const RATE = 44100;

export function clickTrackWav({ bpm, seconds, firstBeat, asFloat }) {
  const frames = Math.round(seconds * RATE);
  const samples = asFloat ? new Float32Array(frames * 2) : new Int16Array(frames * 2);
  let noise = 12345;
  for (let beat = firstBeat; beat < seconds; beat += 60 / bpm) {
    const start = Math.round(beat * RATE);
    for (let t = 0; t < 0.12 * RATE && start + t < frames; ++t) {
      noise = (noise * 1103515245 + 12345) & 0x7fffffff;
      const decay = Math.exp(-t / (0.03 * RATE));
      const thump = Math.sin((2 * Math.PI * 60 * t) / RATE) * decay;
      const click = t < 0.005 * RATE ? ((noise / 0x40000000) - 1) * 0.5 : 0;
      const level = Math.max(-1, Math.min(1, 0.8 * thump + click));
      const value = asFloat ? level : Math.round(level * 32767);
      samples[2 * (start + t)] = value;
      samples[2 * (start + t) + 1] = value;
    }
  }
  const header = Buffer.alloc(44);
  header.write('RIFF', 0);
  header.writeUInt32LE(36 + samples.byteLength, 4);
  header.write('WAVEfmt ', 8);
  header.writeUInt32LE(16, 16);
  const bytesPerSample = samples.BYTES_PER_ELEMENT;
  header.writeUInt16LE(asFloat ? 3 : 1, 20);  // IEEE float or integer PCM
  header.writeUInt16LE(2, 22);                // channels
  header.writeUInt32LE(RATE, 24);
  header.writeUInt32LE(RATE * 2 * bytesPerSample, 28);
  header.writeUInt16LE(2 * bytesPerSample, 32);
  header.writeUInt16LE(8 * bytesPerSample, 34);
  header.write('data', 36);
  header.writeUInt32LE(samples.byteLength, 40);
  return Buffer.concat([header, Buffer.from(samples.buffer)]);
}
