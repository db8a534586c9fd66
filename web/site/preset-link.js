// A preset carried in a link's fragment: its text, deflated and in base64url.
const PREFIX = '#preset=';

function toBase64Url(bytes) {
  let binary = '';
  for (let k = 0; k < bytes.length; k += 0x8000) binary += String.fromCharCode(...bytes.subarray(k, k + 0x8000));
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

function fromBase64Url(text) {
  const padded = text.replace(/-/g, '+').replace(/_/g, '/') + '==='.slice((text.length + 3) % 4);
  const binary = atob(padded);
  const bytes = new Uint8Array(binary.length);
  for (let k = 0; k < binary.length; ++k) bytes[k] = binary.charCodeAt(k);
  return bytes;
}

async function through(stream, bytes) {
  const out = new Blob([bytes]).stream().pipeThrough(stream);
  return new Uint8Array(await new Response(out).arrayBuffer());
}

export async function fragmentOf(presetText) {
  const packed = await through(new CompressionStream('deflate-raw'), new TextEncoder().encode(presetText));
  return PREFIX + toBase64Url(packed);
}

// The preset file's bytes a fragment carries, or null when it carries none.
export async function presetOfFragment(fragment) {
  if (!fragment.startsWith(PREFIX)) return null;
  try {
    return await through(new DecompressionStream('deflate-raw'), fromBase64Url(fragment.slice(PREFIX.length)));
  } catch {
    return null;
  }
}
