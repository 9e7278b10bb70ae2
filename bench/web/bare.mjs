// The yardstick of the page's speed: one full-canvas textured quad drawn with
// WebGL on every animation frame, on a canvas of the game's size and with its
// context (a depth buffer, no alpha), its texture as large as the game's
// full-window pictures.
const kTextureSide = 1024;

const canvas = document.getElementById('canvas');
const gl = canvas.getContext('webgl', { alpha: false, depth: true, antialias: false });

function compile(type, source) {
  const shader = gl.createShader(type);
  gl.shaderSource(shader, source);
  gl.compileShader(shader);
  return shader;
}

const program = gl.createProgram();
gl.attachShader(program, compile(gl.VERTEX_SHADER, `
  attribute vec2 corner;
  varying vec2 at;
  void main() {
    at = vec2(corner.x, 1.0 - corner.y) * 0.5 + 0.5;
    gl_Position = vec4(corner, 0.0, 1.0);
  }`));
gl.attachShader(program, compile(gl.FRAGMENT_SHADER, `
  precision mediump float;
  uniform sampler2D picture;
  varying vec2 at;
  void main() {
    gl_FragColor = texture2D(picture, at);
  }`));
gl.linkProgram(program);
gl.useProgram(program);

gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, -1, 1, 1, 1]), gl.STATIC_DRAW);
const corner = gl.getAttribLocation(program, 'corner');
gl.enableVertexAttribArray(corner);
gl.vertexAttribPointer(corner, 2, gl.FLOAT, false, 0, 0);

// A picture with detail in every texel, so that sampling it costs what a real one does.
const texels = new Uint8Array(kTextureSide * kTextureSide * 4);
for (let i = 0; i < texels.length; i += 4) {
  const texel = i / 4;
  texels[i] = texel % 251;
  texels[i + 1] = (texel >> 10) % 241;
  texels[i + 2] = (texel * 7) % 239;
  texels[i + 3] = 255;
}
gl.bindTexture(gl.TEXTURE_2D, gl.createTexture());
gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.LINEAR);
gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.LINEAR);
gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, kTextureSide, kTextureSide, 0, gl.RGBA,
              gl.UNSIGNED_BYTE, texels);

function frame() {
  gl.viewport(0, 0, canvas.width, canvas.height);
  gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT);
  gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
  requestAnimationFrame(frame);
}
requestAnimationFrame(frame);
