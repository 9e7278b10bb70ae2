// Runs on the page's audio thread: every sound of the game passes through the
// game's own limiter (audio/limiter.cpp, in limiter.wasm, whose bytes the page
// hands over) on its way out, so that none leaves at full scale.
const kChannels = 2;
const kLongestBlock = 1024; // frames; the browser sends 128 at a time

class LimiterProcessor extends AudioWorkletProcessor {
  constructor(options) {
    super();
    const module = new WebAssembly.Module(options.processorOptions.code);
    const { exports } = new WebAssembly.Instance(module, {
      wasi_snapshot_preview1: { proc_exit: (status) => { throw new Error(`limiter exit ${status}`); } },
    });
    exports._initialize?.();
    this.exports = exports;
    this.limiter = exports.limiterCreate(sampleRate, kChannels);
    this.samples = exports.limiterSamples(kLongestBlock * kChannels);
  }

  // A mono input sounds on both channels; a missing one is silence.
  process(inputs, outputs) {
    const input = inputs[0];
    const output = outputs[0];
    for (let start = 0; start < output[0].length; start += kLongestBlock) {
      const frames = Math.min(kLongestBlock, output[0].length - start);
      const samples = new Float32Array(this.exports.memory.buffer, this.samples, frames * kChannels);
      for (let channel = 0; channel < kChannels; ++channel) {
        const from = input[Math.min(channel, input.length - 1)];
        for (let frame = 0; frame < frames; ++frame) {
          samples[frame * kChannels + channel] = from ? from[start + frame] : 0;
        }
      }
      this.exports.limiterProcess(this.limiter, this.samples, frames);
      for (let channel = 0; channel < kChannels; ++channel) {
        const to = output[channel];
        for (let frame = 0; frame < frames; ++frame) {
          to[start + frame] = samples[frame * kChannels + channel];
        }
      }
    }
    return true; // the limiter keeps what it holds back, so it runs on
  }
}

registerProcessor('limiter', LimiterProcessor);
