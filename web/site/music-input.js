// Music for the scripts: a song file decoded by the browser, or the microphone.
export const ANALYSIS_RATE = 44100;

// Decodes a song's bytes to two channels at the analysis rate.
export async function decodeSong(bytes) {
  const context = new OfflineAudioContext(2, 1, ANALYSIS_RATE);
  const buffer = await context.decodeAudioData(bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength));
  const left = buffer.getChannelData(0);
  const right = buffer.numberOfChannels > 1 ? buffer.getChannelData(1) : left;
  return { left, right, buffer };
}

// Plays a decoded buffer; returns {context, startedAt, stop}.
export function playSong(buffer) {
  const context = new AudioContext({ sampleRate: ANALYSIS_RATE });
  const source = context.createBufferSource();
  source.buffer = buffer;
  source.connect(context.destination);
  const startedAt = context.currentTime;
  source.start();
  return {
    seconds: () => context.currentTime - startedAt,
    stop: () => { source.stop(); context.close(); },
  };
}

// Hands microphone samples to `onSamples(left, right)` as they arrive.
export async function openMicrophone(onSamples) {
  const stream = await navigator.mediaDevices.getUserMedia({ audio: true });
  const context = new AudioContext({ sampleRate: ANALYSIS_RATE });
  const source = context.createMediaStreamSource(stream);
  // A script processor is deprecated but needs no extra module file.
  const tap = context.createScriptProcessor(1024, 2, 2);
  tap.onaudioprocess = (event) => {
    const input = event.inputBuffer;
    const left = input.getChannelData(0);
    const right = input.numberOfChannels > 1 ? input.getChannelData(1) : left;
    onSamples(left, right);
  };
  source.connect(tap);
  tap.connect(context.destination);
  const startedAt = context.currentTime;
  return {
    seconds: () => context.currentTime - startedAt,
    stop: () => { stream.getTracks().forEach((track) => track.stop()); context.close(); },
  };
}
